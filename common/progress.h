#pragma once
// The console on standard output: lines of what the program does, and
// progress for long loops.

#include <string>

// `line` and a newline, flushed, so that the line is there before a slow
// step that follows it.
void PrintLine(const std::string& line);

// "\r\r\t%.2f" of done / total × 100, no newline (the caller ends the
// line), flushed. Nothing when total is 0.
void ReportProgress(float done, float total);
