#pragma once
// What an action prints on the console, or the action run without its
// console lines (build transcripts, progress) cluttering a test's output.

#include <gtest/gtest.h>

#include <string>

template <typename Action>
std::string Printed(Action action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

template <typename Action>
void Quietly(Action action) {
  Printed(action);
}
