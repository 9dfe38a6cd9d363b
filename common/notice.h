#pragma once
// Lines the program's own abilities print (saved, opened, recovered,
// exported, what went wrong): on standard error, after the program's name
// ("kelvra: saved …"), so that the painter's console on standard output
// shows exactly what it always showed.

#include <string>
#include <vector>

// "kelvra" unless a program says otherwise (kelvra-play does).
void SetNoticeName(const std::string& programName);
void Notice(const std::string& line);

// While one lives, the lines its thread gives Notice are kept in it instead
// of printed: a caller that reports a failure in its own words (kelvra-play
// makes it the script line's message) says it once. The innermost one
// keeps them; other threads print theirs as ever.
class CaughtNotices {
 public:
  CaughtNotices();
  ~CaughtNotices();
  CaughtNotices(const CaughtNotices&) = delete;
  CaughtNotices& operator=(const CaughtNotices&) = delete;

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  friend void Notice(const std::string& line);
  std::vector<std::string> lines_;
  CaughtNotices* outer_;
};
