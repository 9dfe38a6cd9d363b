#pragma once
// The process-wide pseudo-random generator. Its state starts at 1 and is
// never reseeded, so a given sequence of user actions draws the same numbers
// on every run (random stroke sizes and particles share it).

// Next draw: state = state × 214013 + 2531011 (mod 2^32); returns
// (state >> 16) & 0x7FFF, from 0 to 32767.
int RandomNext();

// RandomNext() × 3.0518509e-05f: a float from 0 to 1.
float RandomUnit();

// Tests only: put the generator back to its start-up state.
void RandomResetForTesting();
