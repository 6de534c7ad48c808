#include "platform/entry.h"

int main(int argc, char** argv) {
  ivx::HostPlatform host;
  return ivx::CommandMain(ivx::HostArguments(argc, argv), host.Get());
}
