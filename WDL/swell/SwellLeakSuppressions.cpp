// Sanitizer builds only: fontconfig 2.14 loses a small block while parsing its configuration, and
// the configuration must never be finalised (the host may share it), so LeakSanitizer is told to
// ignore fontconfig's own allocations. Linked into every program that links the shim (see
// CMakeLists.txt).
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}
#endif
