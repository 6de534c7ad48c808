/* The other half of the tests' installer engine: reads back what the test package recorded
 * and removes the installation.
 *   engine_record.exe FILE
 * writes each value of the package's registry key to FILE as a line "name<TAB>value<LF>",
 * in UTF-8, converted exactly from the registry's UTF-16 text (no line when the key is not
 * there), then removes the product through the engine. Exit code: the removal's result
 * (0 removed, 1605 not installed), 9 when FILE cannot be written. */
#include <windows.h>

#include <msi.h>
#include <stdio.h>
#include <stdlib.h>

/* The UTF-8 form of a UTF-16 text of the given length, in a new allocation. */
static char* ToUtf8(const wchar_t* text, int length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, NULL, 0, NULL, NULL);
  char* utf8 = malloc((size_t)size + 1);
  if (utf8 == NULL) exit(9);
  WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, size, NULL, NULL);
  utf8[size] = '\0';
  return utf8;
}

/* The length of a string value's text without the terminating zeros the registry keeps. */
static int TextLength(const wchar_t* data, DWORD bytes) {
  int length = (int)(bytes / sizeof(wchar_t));
  while (length > 0 && data[length - 1] == L'\0') --length;
  return length;
}

static void WriteValues(FILE* out, HKEY key) {
  DWORD nameSize = 0;
  DWORD dataSize = 0;
  if (RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &nameSize, &dataSize, NULL,
                       NULL) != ERROR_SUCCESS) {
    return;
  }
  wchar_t* name = malloc((nameSize + 1) * sizeof(wchar_t));
  void* data = malloc(dataSize + sizeof(wchar_t));
  if (name == NULL || data == NULL) exit(9);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = nameSize + 1;
    DWORD bytes = dataSize;
    DWORD type = 0;
    if (RegEnumValueW(key, i, name, &nameLength, NULL, &type, data, &bytes) != ERROR_SUCCESS) {
      break;
    }
    char* nameText = ToUtf8(name, (int)nameLength);
    char* dataText = ToUtf8(data, TextLength(data, bytes));
    fprintf(out, "%s\t%s\n", nameText, dataText);
    free(nameText);
    free(dataText);
  }
  free(name);
  free(data);
}

int main(int argc, char** argv) {
  if (argc != 2) return 9;
  FILE* out = fopen(argv[1], "wb");
  if (out == NULL) return 9;
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, IVX_ENGINE_KEY, 0, KEY_READ | IVX_ENGINE_KEY_VIEW, &key) ==
      ERROR_SUCCESS) {
    WriteValues(out, key);
    RegCloseKey(key);
  }
  if (fclose(out) != 0) return 9;
  MsiSetInternalUI(INSTALLUILEVEL_NONE, NULL);
  return (int)MsiConfigureProductA(IVX_ENGINE_PRODUCT_CODE, INSTALLLEVEL_DEFAULT,
                                   INSTALLSTATE_ABSENT);
}
