/* A launcher of the tests' own that ends in the real installer engine, installed in a test kit
 * as setup.exe beside the package vorx-engine-test.msi. Like the launcher family it stands for,
 * it takes the text after "/v" of its "/v..." argument (as its C runtime split the command
 * line) and hands it to the engine unchanged:
 *   by default   it starts  msiexec /i "<kit>\vorx-engine-test.msi" <that text>  as one
 *                command line, the text not quoted again, and waits for it;
 *   in-process   (a file "engine-in-process" beside it) it calls MsiInstallProductA itself,
 *                with the UI level of a leading /q switch (/qr reduced, /qn none) and the
 *                rest of the text as the property list: Wine's msiexec.exe front end
 *                handles quotation marks inside values differently from its engine.
 * Then it writes the setup log named after "/f2" ("[ResponseResult]", "ResultCode=<code>",
 * each line ended by CR LF) and exits with the engine's code. */
#include <windows.h>

#include <msi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kPackage[] = "vorx-engine-test.msi";

/* The concatenation of the texts, in a new allocation. */
static char* Join(const char* a, const char* b, const char* c) {
  const size_t length = strlen(a) + strlen(b) + strlen(c);
  char* text = malloc(length + 1);
  if (text == NULL) exit(9);
  snprintf(text, length + 1, "%s%s%s", a, b, c);
  return text;
}

/* This program's folder with its trailing backslash. */
static char* OwnFolder(void) {
  DWORD size = MAX_PATH;
  for (;;) {
    char* path = malloc(size);
    if (path == NULL) exit(9);
    const DWORD length = GetModuleFileNameA(NULL, path, size);
    if (length == 0) exit(9);
    if (length < size) {
      char* slash = strrchr(path, '\\');
      if (slash != NULL) slash[1] = '\0';
      return path;
    }
    free(path);
    size *= 2;
  }
}

static const char* ArgumentAfter(int argc, char** argv, const char* prefix) {
  for (int i = 1; i < argc; ++i) {
    if (strncmp(argv[i], prefix, strlen(prefix)) == 0) return argv[i] + strlen(prefix);
  }
  return NULL;
}

static int FileExists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

static DWORD RunFrontEnd(const char* package, const char* properties) {
  char* quoted = Join("msiexec /i \"", package, "\" ");
  char* commandLine = Join(quoted, properties, "");
  STARTUPINFOA startup;
  PROCESS_INFORMATION process;
  DWORD code = 9;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  ZeroMemory(&process, sizeof process);
  if (CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    if (!GetExitCodeProcess(process.hProcess, &code)) code = 9;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  free(quoted);
  free(commandLine);
  return code;
}

/* The UI level of a leading /q switch; the properties start after it and its blanks. */
static INSTALLUILEVEL TakeUiLevel(const char** properties) {
  INSTALLUILEVEL level = INSTALLUILEVEL_FULL;
  const char* text = *properties;
  if (strncmp(text, "/qr", 3) == 0) level = INSTALLUILEVEL_REDUCED;
  if (strncmp(text, "/qn", 3) == 0) level = INSTALLUILEVEL_NONE;
  if (level != INSTALLUILEVEL_FULL) text += 3;
  while (*text == ' ') ++text;
  *properties = text;
  return level;
}

static DWORD RunInProcess(const char* package, const char* properties) {
  MsiSetInternalUI(TakeUiLevel(&properties), NULL);
  return MsiInstallProductA(package, properties);
}

static void WriteSetupLog(const char* path, DWORD code) {
  FILE* log = fopen(path, "wb");
  if (log == NULL) return;
  fprintf(log, "[ResponseResult]\r\nResultCode=%lu\r\n", (unsigned long)code);
  fclose(log);
}

int main(int argc, char** argv) {
  const char* properties = ArgumentAfter(argc, argv, "/v");
  const char* setupLog = ArgumentAfter(argc, argv, "/f2");
  char* folder = OwnFolder();
  char* package = Join(folder, kPackage, "");
  char* inProcess = Join(folder, "engine-in-process", "");
  if (properties == NULL) properties = "";
  const DWORD code =
      FileExists(inProcess) ? RunInProcess(package, properties) : RunFrontEnd(package, properties);
  if (setupLog != NULL) WriteSetupLog(setupLog, code);
  free(folder);
  free(package);
  free(inProcess);
  return (int)code;
}
