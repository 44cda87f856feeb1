#pragma once
// Runs a helper program (zenity, kdialog, xdg-open) found on PATH with an argument vector,
// never through a shell. Only our own child is waited for (by its id).
//
// Threads: the user-interface thread. Run blocks that thread (never the audio thread) until the
// helper closes its output, calling tick every tickMs meanwhile so the editor keeps drawing.

#include <functional>
#include <string>
#include <vector>

class HelperProcess
{
public:
  struct Result
  {
    bool started = false;  // false: the program is not installed (or could not start)
    std::string output;    // its standard output
    int exitStatus = -1;   // -1 when unknown (the host may reap children itself)
  };

  // Runs argv[0] and collects its standard output.
  static Result Run(const std::vector<std::string>& argv, const std::function<void()>& tick = nullptr,
                    int tickMs = 40);
  // Starts argv[0] without waiting; the child is reaped later by ReapStarted. False when it
  // could not start.
  static bool Start(const std::vector<std::string>& argv);
  // Reaps children begun by Start that have ended (never blocks, never touches others).
  static void ReapStarted();
  // Whether a program of that name is on PATH.
  static bool IsInstalled(const char* name);
};
