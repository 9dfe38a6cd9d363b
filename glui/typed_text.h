#pragma once
// The characters a key types beyond Latin-1, read through the X input
// method on an X connection of the layer's own. GLUT gives a key's text
// only as Latin-1 bytes, and nothing at all for a key whose symbol is a
// letter of another script (α, ж, 名): such a press reaches no handler.
// This connection selects key presses on the subwindows holding a text
// field as well (X sends a window's events to every client that selects
// them) and turns each into UTF-8 through the client's own input method.
// Only the characters past Latin-1 are taken from it; the others still
// come from GLUT, which a replay drives directly, so every key is typed
// once.

#include <functional>

namespace glui_internal {

class TypedText {
 public:
  // Characters typed into the current GLUT window are read from now on
  // (nothing more when they are already). Silent and without effect when
  // the display or its input method cannot be opened: typing then stays
  // Latin-1.
  static void Watch();
  // Gives `typed`, in order, the letters past Latin-1 typed before the key
  // GLUT is handing over now (`glutKey`) or, from the idle step, before
  // any press GLUT has yet to hand over, each with the GLUT window it was
  // typed into.
  //
  // Both connections see every press, so the presses that are not such
  // letters mark where GLUT's keys fall among them: a key GLUT hands over
  // answers the oldest such press, which is passed with the letters before
  // it. A press GLUT never hands over (Caps Lock, a dead key) is let go
  // after a moment, so the letters behind it wait no longer than that.
  static void Read(bool glutKey, const std::function<void(int window, unsigned letter)>& typed);
};

}  // namespace glui_internal
