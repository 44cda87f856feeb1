#pragma once
// Diagnostics: trace points, timestamps, a processor-time timer and small text helpers.
//
// Trace points stay in the framework with their function name, line and format, but write only
// in builds compiled with BRELIX_TRACE=1 (then to stderr); by default Trace does nothing and
// is real-time safe. CurrentTime and AppendTimestamp return static storage that each call
// overwrites: not safe to call from two threads at once. Everything else is free of shared state.

#include <ctime>

#include "WDL_String.h"

#ifndef BRELIX_TRACE
#define BRELIX_TRACE 0
#endif

// Trace point with printf-style format; the text is written only in tracing builds.
void Trace(const char* funcName, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Trace point named after the enclosing function: TRACE("%d:%f", idx, value).
#define TRACE(...) Trace(__func__, __LINE__, __VA_ARGS__)

// Local time as "YYYYMMDD HH:MM +HHMM" (offset from UTC, sign "-" west of UTC). Empty when the
// clock cannot be read.
const char* CurrentTime();

// Minutes local time is ahead of UTC, from the two broken-down forms of one instant. Days of the
// year that differ by 2 or more mean the year turned between them.
int UTCOffsetMinutes(const std::tm& local, const std::tm& utc);

// Build stamp from __DATE__ ("Dec 17 2026") and __TIME__ ("12:34:56"): "[Dec17 12:34]", or
// "[Dec 7 12:34]" for a day written with a leading blank. Null texts count as empty.
void CompileTimestamp(const char* date, const char* time, WDL_String* out);

// text, a blank and the build stamp; static storage overwritten by each call.
const char* AppendTimestamp(const char* date, const char* time, const char* text);

// True for tab, line feed, carriage return and blank only.
bool IsWhitespace(char c);

// Lower-case copy of in, zero-terminated; out must hold strlen(in) + 1 characters. Null in
// gives an empty text; null out is ignored.
void ToLower(char* out, const char* in);

// Fires at intervals of processor time (clock()), not wall-clock time: the time this process
// spends on the CPU. Not shared between threads.
class Timer
{
public:
  Timer();
  // True, restarting the interval, when more than seconds have passed since the last start.
  bool Every(double seconds);

private:
  std::clock_t mStart;
};

// Names of other plug-in interfaces' opcodes and selectors; empty texts in this build.
const char* VSTOpcodeStr(int opcode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
