#pragma once
// Lines the program's own abilities print (saved, opened, recovered,
// exported, what went wrong): on standard error, after the program's name
// ("kelvra: saved …"), so that the painter's console on standard output
// shows exactly what it always showed.

#include <string>

// "kelvra" unless a program says otherwise (kelvra-play does).
void SetNoticeName(const std::string& programName);
void Notice(const std::string& line);
