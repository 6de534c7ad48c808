// The C runtime hands the command its arguments as they were typed: no wildcard expansion.
extern "C" {
int _dowildcard = 0;
}
