#!/usr/bin/env bash
# mutate.sh [--list | --check | --asan] [NUMBER...]: puts realistic faults into a
# copy of the tree one at a time, rebuilds, runs the tests and reports how
# many faults the tests catch.
#
# The checkout is never changed: the tracked and new files are copied into
# build-mutate/src (only files whose content differs are copied, so the
# build there stays incremental), configured once into build-mutate/build,
# and each fault is put into that copy, built, tested with
#   xvfb-run -a ctest -j2 --stop-on-failure --timeout 120
# and taken out again. A fault counts as caught when a test fails (or times
# out); a fault whose text is not found exactly once in its file, or that
# does not build, is an error of this list, reported and not counted.
#
#   --list   prints the numbered faults and exits
#   --check  checks that every fault's text is found once, builds nothing
#   --asan   builds the copy with ASan+UBSan instead, into build-mutate/build-asan,
#            as ./test.sh builds build-asan/, and runs the tests as it does:
#            those without a display with leak checks, the GL ones without.
#            A fault that writes or reads past an array is caught there even
#            where the normal build goes on with the wrong bytes.
#   NUMBER   runs only the faults with these numbers (default: all)
#
# The report goes to the console and to build-mutate/report.txt (with
# --asan, report-asan.txt); the exit
# status is 0 when every fault ran and was caught.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=$root/build-mutate
src=$work/src
build=$work/build

files=() olds=() news=() notes=()
# fault FILE OLD NEW DESCRIPTION: OLD is literal text that must occur once.
fault() {
  files+=("$1")
  olds+=("$2")
  news+=("$3")
  notes+=("$4")
}

# ---- The faults -----------------------------------------------------------------
# Left out as harmless: the vector filters' divisor reciprocal rounded down
# (the kernel then fails the 16-bit exactness test and takes the exact path);
# the kept picture's repaint box one column short on the right (a box's
# pixel margin keeps a pixel to spare for rounding).
fault common/random.cpp 'state_ >> 16' 'state_ >> 15' \
  "random: draws taken from the wrong bits of the state"
fault common/vec4.cpp 'Cross(p1 - p2, p0 - p1)' 'Cross(p0 - p1, p1 - p2)' \
  "triangle normal: cross product operands swapped"

fault platform/files.cpp 'if (matching && !Exists(candidate))' 'if (matching && Exists(candidate))' \
  "path resolver: case folding tried only where the exact name exists"
fault platform/extensions.cpp 'if (token == name) return true;' \
  'if (token.compare(0, name.size(), name) == 0) return true;' \
  "extension lookup: a prefix of a token counts as the extension"

fault image/textures.cpp '< 150) ? 0 : 255' '<= 150) ? 0 : 255' \
  "alpha rule: a sum of exactly 150 turns transparent"
fault image/textures.cpp 'GL_TEXTURE_WRAP_S, GL_REPEAT' 'GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE' \
  "textures clamped along s instead of repeating"
fault image/bmp.cpp 'return (bytes + 3) & ~std::uint64_t{3};' 'return (bytes + 2) & ~std::uint64_t{3};' \
  "BMP rows padded one byte short of a multiple of 4"
fault image/bmp_decoder.cpp 'return static_cast<std::uint8_t>((v << 3) | (v >> 2));' \
  'return static_cast<std::uint8_t>(v << 3);' \
  "16-bit BMP channels widened without their low bits"
fault image/filters.cpp '{{ 1,  2,  1,   2,  4,  2,   1,  2,  1}, 16},  // GAUSSIAN' \
  '{{ 1,  2,  1,   2,  2,  2,   1,  2,  1}, 16},  // GAUSSIAN' \
  "filters: Gaussian kernel with a centre weight of 2"
fault image/pixel_rows.cpp $'    b[i] = a2;\n' $'    b[i] = a0;\n' \
  "row exchange: the plain tail writes blue where red goes"
fault image/gradients.cpp 'ApplyFilter(source, horizontal, kFilterHorizontalSobel)' \
  'ApplyFilter(source, horizontal, kFilterVerticalSobel)' \
  "gradient maps: the horizontal map made with the vertical kernel"

fault stroke/edge_index.cpp $'const std::uint32_t low = static_cast<std::uint32_t>(a < b ? a : b);\n  const std::uint32_t high = static_cast<std::uint32_t>(a < b ? b : a);' \
  $'const std::uint32_t low = static_cast<std::uint32_t>(a);\n  const std::uint32_t high = static_cast<std::uint32_t>(b);' \
  "edge index: (a, b) and (b, a) taken for two edges"
fault stroke/bspline.cpp 'knots[j] = j - t + 1;' 'knots[j] = j - t;' \
  "B-spline: inner knots one lower"
fault stroke/shape.cpp 'const float a = value * 0.125f;' 'const float a = value * 0.25f;' \
  "size jitter of 25 % instead of 12.5 %"
fault stroke/shape.cpp 'profile[c] = profile[s - c];' 'profile[c] = profile[s - c - 1];' \
  "profile: the mirrored half taken one sample off"
fault stroke/shape.cpp 'rgb[at] + rgb[at + 1] + rgb[at + 2]' 'rgb[at] + rgb[at] + rgb[at]' \
  "profile: brightness from the red channel alone"
fault stroke/shape.cpp 'const int row = height / 2;' 'const int row = (height - 1) / 2;' \
  "profile: the row below the middle of an even height map"
fault stroke/shape.cpp 'if (k == count - 1) w = 0.0f;' 'if (k == count - 2) w = 0.0f;' \
  "widths: the point before the last ends the stroke"
fault stroke/mesh.cpp 'const float angle = kPi + j * kPi / columns;' \
  'const float angle = kPi + j * kPi / (columns - 1.0f);' \
  "mesh: cross-section angle step π/(S − 1)"
fault stroke/mesh.cpp '2.0f * (p.x - minX) / extentX' '(p.x - minX) / extentX' \
  "mesh: planar texture coordinate s scaled by 1 instead of 2"
fault stroke/mesh.cpp 'colours[at] = start + (end - start) * (i / rows);' \
  'colours[at] = start + (end - start) * (i / (rows - 1.0f));' \
  "mesh: colours reach the end colour on the last row"
fault stroke/mesh.cpp 'emit(b, a + 1, b + 1);' 'emit(b, b + 1, a + 1);' \
  "mesh: second triangle of each cell wound the other way"
fault stroke/subdivision.cpp '(values[c] + values[d]) * 0.125f' '(values[c] + values[d]) * 0.25f' \
  "butterfly: weight 1/4 for the two near vertices"
fault stroke/subdivision.cpp '* -0.0625f' '* -0.125f' \
  "butterfly: weight −1/8 for the wing vertices"
fault stroke/subdivision.cpp 'WingVertex(table, current, f2, b, d, f1, f2)' \
  'WingVertex(table, current, f1, b, c, f1, f2)' \
  "butterfly: wing beyond (b, c) counted instead of the one beyond (b, d)"
fault stroke/subdivision.cpp 'const int outer = (faces[0] == f1 || faces[0] == f2) ? faces[1] : faces[0];' \
  'const int outer = faces[0] == f1 ? faces[1] : faces[0];' \
  "butterfly: a wing taken from the butterfly's own second face"
fault stroke/subdivision.cpp '{m01, m12, m20}}' '{m01, m20, m12}}' \
  "subdivision: centre face of a split wound the other way"
fault stroke/particles.cpp 'const float b = PARTICLE_SCATTER * point.position.y;' \
  'const float b = PARTICLE_SCATTER * point.position.x;' \
  "particles: y scatter proportional to x"
fault stroke/particles.cpp '* 0.5f * w;' '* 0.25f * w;' \
  "particles: sizes spread ±25 % instead of ±50 %"
fault stroke/collisions.cpp 'node.height = factors.heightStart * height + node.baseHeight;' \
  'node.height = factors.heightEnd * height + node.baseHeight;' \
  "collision: crossing point raised with the end factor"
fault stroke/canvas.cpp 'if (number < 1 || number > count) return nullptr;' \
  'if (number < 1 || number >= count) return nullptr;' \
  "canvas: the last stroke's number is refused"
fault stroke/build.cpp '"\tGenerating PERP data...."' '"\tGenerating PERP data..."' \
  "console: the PERP line loses a dot"
fault stroke/history.cpp 'undo_.size() > limits_.steps' 'undo_.size() >= limits_.steps' \
  "undo history keeps one step fewer than its limit"

fault render/scene.cpp $'ActiveUnit(GL_TEXTURE1_ARB);\n  glEnable(GL_TEXTURE_2D);' \
  $'ActiveUnit(GL_TEXTURE0_ARB);\n  glEnable(GL_TEXTURE_2D);' \
  "mesh: detail map set up on texture unit 0 instead of 1"
fault render/gl_features.h 'return multiTexCoord2f && activeTexture;' \
  'return multiTexCoord2f && !activeTexture;' \
  "mesh: multitexturing off where the extension is present"
fault render/scene.cpp 'glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, static_cast<GLint>(kDetailScale));' \
  'glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 1);' \
  "mesh: detail combined without the ×2 scale"
fault render/scene.cpp 'glScalef(kDetailRepeat, kDetailRepeat, 1.0f);' 'glScalef(4.0f, 4.0f, 1.0f);' \
  "mesh: detail map repeated 4 times instead of 8"
fault render/scene.cpp $'  glMatrixMode(GL_TEXTURE);\n  glLoadIdentity();' \
  $'  ActiveUnit(GL_TEXTURE0_ARB);\n  glMatrixMode(GL_TEXTURE);\n  glLoadIdentity();' \
  "mesh: texture matrix scaled on the base unit"
fault render/scene.cpp $'  DrawStill(view);\n  DrawOverlays(view);' $'  DrawOverlays(view);\n  DrawStill(view);' \
  "scene: the cursor and axes drawn before the strokes"
fault render/scene.cpp $'glColor3f(0.0f, 1.0f, 0.0f);\n  glBegin(GL_LINE_LOOP);' \
  $'glColor3f(0.0f, 0.8f, 0.0f);\n  glBegin(GL_LINE_LOOP);' \
  "scene: selection outline in a darker green"
fault render/scene.cpp 'glVertex3f(corner.x, corner.y, 0.01f);' 'glVertex3f(corner.x, corner.y, 0.0f);' \
  "scene: selection outline in the canvas plane, under the strokes"
fault render/scene.cpp $'  if (view.display.paperOn)\n    DrawSourceCanvas();' \
  $'  if (!view.display.paperOn)\n    DrawSourceCanvas();' \
  "scene: paper and filtered-image backdrops swapped"
fault render/mesh_buffers.cpp 'for (int u = 0; u < units; ++u) {' 'for (int u = 0; u < 1; ++u) {' \
  "mesh buffers: texture coordinates for unit 0 only"
fault stroke/drawn_form.cpp 'const float h = particles.sizes[index] + particles.sizes[index];' \
  'const float h = particles.sizes[index];' \
  "particles: quads half their size"

fault camera/camera.cpp 'const float d = std::sqrt(ay * ay + az * az);' \
  'const float d = std::sqrt(ax * ax + az * az);' \
  "camera: rotation matrix from the wrong axis components"
fault camera/camera.cpp "camera.fovy += key == '7' ? 1.0f : -1.0f;" "camera.fovy += key == '7' ? -1.0f : 1.0f;" \
  "keys 7 and 9 change the field of view the wrong way"
fault render/gl_features.cpp '"\tTEXUNITS: "' '"\tTEXUNITS:"' \
  "console: the texture-unit line loses its blank"
fault camera/environment.cpp 'glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);' \
  'glBlendFunc(GL_SRC_ALPHA, GL_ONE);' \
  "render state: blending adds instead of mixing"

fault glui/controls.cpp 'candidate = std::min(std::max(candidate, low), high);' \
  'candidate = std::max(candidate, low);' \
  "spinner: limits held at the low end only"
fault glui/arcball.cpp $'float x = dx / radius;\n  float y = dy / radius;' \
  $'float x = dx / radius;\n  float y = dx / radius;' \
  "arcball: y of the sphere point from the x offset"

fault actions/actions.cpp $'  start += step;\n  end -= step;' $'  start += step;\n  end += step;' \
  "size panel: collision factors move together instead of apart"
fault panels/matrix_inverse.cpp '> std::fabs(At(work, pivotRow, column))) pivotRow = row;' \
  '< std::fabs(At(work, pivotRow, column))) pivotRow = row;' \
  "matrix inverse: the smallest pivot chosen"

fault stroke/canvas_plane.h '1.0f - 2.0f * y / h' '2.0f * y / h - 1.0f' \
  "main view: pointer y not flipped onto the canvas"
fault app/input.cpp 'selected <= AppState().canvas.count - 1 ?' 'selected < AppState().canvas.count - 1 ?' \
  "Up arrow: the selection wraps one stroke early"
fault app/input.cpp 'if (record[1] < nearestDepth) {' 'if (record[1] > nearestDepth) {' \
  "picking: the farthest hit wins"
fault actions/trace.cpp 'return red > kBrightLevel && green > kBrightLevel && blue > kBrightLevel;' \
  'return red > kBrightLevel || green > kBrightLevel || blue > kBrightLevel;' \
  "auto-trace: regions start at pixels bright in any channel"
fault actions/actions.cpp 'ApplyFilter(pictures.source, pictures.filtered, kFilterVerticalSobel);' \
  'ApplyFilter(pictures.source, pictures.filtered, kFilterHorizontalSobel);' \
  "filter panel: a new source shown through the horizontal kernel"

fault state/redraw.cpp $'  view.strokesRevision = state.revisions.strokes;\n' '' \
  "redraw tracking: the main view does not redraw after a stroke changes"
fault play/script.cpp "if (errno != 0 || *end != '\\0' || v < low || v > high) return false;" \
  "if (errno != 0 || *end != '\\0' || v < low || v >= high) return false;" \
  "scripts: the top of a number's range refused"

fault play/replayer.cpp 'for (long step = 0; step < count; ++step) {' \
  'for (long step = 1; step < count; ++step) {' \
  "replay: one idle step fewer than a frames line asks"
fault export/png.cpp 'rows + static_cast<std::size_t>(y) * rowBytes' \
  'rows + static_cast<std::size_t>(height - 1 - y) * rowBytes' \
  "PNG: rows written bottom first"

# Undo and redo.
fault stroke/history.cpp $'  for (const Step& dropped : redo_) bytes_ -= dropped.bytes;\n' '' \
  "undo history: the bytes of dropped redo steps still counted"
fault stroke/history.cpp $'  from.pop_back();\n  bytes_ -= step.bytes;' $'  from.pop_back();' \
  "undo history: a step moved between undo and redo counted twice"
fault stroke/history.cpp 'if (kept.first == slot) return;' 'if (kept.first == slot) break;' \
  "undo history: a slot kept twice in one step"
fault stroke/history.cpp 'return !undo_.empty() && undo_.back().allStrokes;' \
  'return !undo_.empty() && undo_.front().allStrokes;' \
  "undo history: whether the next undo replaces every stroke read from the oldest step"
fault stroke/history.cpp 'for (const auto& kept : steps.back().strokes)' \
  'for (const auto& kept : steps.front().strokes)' \
  "undo history: the slots of the oldest step announced for the next one"
fault actions/actions.cpp '{ActionKind::kCollide,        true,   true,   true,  true},' \
  '{ActionKind::kCollide,        true,   true,   false, true},' \
  "painting history: the crossing check is no step"
fault actions/painting_history.cpp '(undo ? history_.UndoSteps() : history_.RedoSteps()) == 0' \
  '(undo ? history_.RedoSteps() : history_.UndoSteps()) == 0' \
  "painting history: undo refused when there is nothing to redo, and the other way"
fault actions/painting_history.cpp 'for (int slot : undo ? history_.UndoSlots() : history_.RedoSlots())' \
  'for (int slot : history_.UndoSlots())' \
  "painting history: a redo announces the slots of the step undo would swap"

# Recording and the replayer's pointer.
# Left out as harmless: the shortest pause worth a wait line (the replay
# runs without them unless --realtime, and no picture depends on them).
fault play/recorder.cpp 'const bool control = key >= 1 && key <= 26 && !named;' \
  'const bool control = key >= 1 && key < 26 && !named;' \
  "recorder: Ctrl+Z not recorded as a control key"
fault play/recorder.cpp '(modifiers & (kCtrlKey | kAltKey))' '(modifiers & kCtrlKey)' \
  "recorder: Alt left out of a key's modifiers"
fault play/recorder.cpp $'    WriteLine(FormatEvent(frames));\n    idleSteps_ = 0;' \
  $'    WriteLine(FormatEvent(frames));' \
  "recorder: frames counted from the start of the recording, not from the last event"
fault play/recorder.cpp 'const bool same = width == mainWidth_ && height == mainHeight_;' \
  'const bool same = width == mainWidth_ || height == mainHeight_;' \
  "recorder: a resize that keeps one side not recorded"
fault play/pointer_routing.cpp 'pointer.grabX = target == top ? 0 : rect.x;' \
  'pointer.grabX = target == top ? 0 : rect.y;' \
  "pointer routing: a panel's control subwindow offset across taken from its offset down"
fault play/pointer_routing.cpp 'tap::InjectMotion(pointer.grab, event.x - pointer.grabX, event.y - pointer.grabY, true);' \
  'tap::InjectMotion(pointer.grab, event.x, event.y, true);' \
  "pointer routing: a drag in a control subwindow given in its parent's pixels"
fault play/pointer_routing.cpp 'if (press && pointer.buttonsDown == 0) {' 'if (press) {' \
  "pointer routing: a second button pressed elsewhere takes the pointer from the first"
fault play/windows.h 'px < x + width && py < y + height' 'px <= x + width && py < y + height' \
  "pointer routing: the column right of a control subwindow counted inside it"

# The redraw decision and the kept picture.
fault state/redraw.cpp 'ShownFaces(state) > kCoarseAboveFaces' 'ShownFaces(state) >= kCoarseAboveFaces' \
  "coarse view: a painting of exactly the threshold's faces drawn coarse"
fault state/redraw.cpp 'return state.redraw.stepsSinceCameraMoved < kRestingSteps &&' \
  'return state.redraw.stepsSinceCameraMoved + 1 < kRestingSteps &&' \
  "coarse view: the camera rests after nine idle steps"
fault render/scene_view.h 'visit(view.display.showNodes, ViewPart::kStill);' \
  'visit(view.display.showNodes, ViewPart::kOverlay);' \
  "redraw decision: showing the nodes taken for an overlay"
fault render/scene_view.cpp 'change.selection |= part == ViewPart::kSelection;' \
  'change.painted |= part == ViewPart::kSelection;' \
  "redraw decision: a new selection taken for a change of the painted stroke"
fault render/kept_picture.cpp 'if (number >= 1 && number <= canvas.count)' \
  'if (number >= 1 && number < canvas.count)' \
  "kept picture: the last stroke's outline left where it was"
fault render/kept_picture.cpp 'for (std::size_t i = kept.nodes > 0 ? kept.nodes - 1 : 0;' \
  'for (std::size_t i = kept.nodes;' \
  "kept picture: the painted stroke's box starts past its last kept node"
fault render/kept_picture.cpp 'index_.Update(*view.canvas, view.strokesRevision);' \
  'index_.Update(*view.canvas, 0);' \
  "kept picture: the index of stroke boxes kept from the first canvas it saw"
fault render/stroke_index.cpp 'for (int i = node.first; i < node.first + node.count; ++i)' \
  'for (int i = node.first; i + 1 < node.first + node.count; ++i)' \
  "stroke index: the last stroke of every leaf never found"
fault render/scene.cpp 'ranges.back().count += run.count;' 'ranges.back().count = run.count;' \
  "confined pass: runs of faces that follow one another drawn as the last of them alone"
fault render/scene.cpp 'for (int i = run.first; i < run.first + run.count; ++i)' \
  'for (int i = run.first; i + 1 < run.first + run.count; ++i)' \
  "confined pass: the last particle of every run reaching the box left out"
fault stroke/mesh.cpp '  KeepReach(stroke);' '' \
  "stroke reach: a mesh built again keeps the reach of the mesh before"
fault stroke/reach.cpp 'for (std::size_t i = first; i < first + run.count; ++i) {' \
  'for (std::size_t i = first; i + 1 < first + run.count; ++i) {' \
  "stroke reach: the last particle of every run left out of its box"
fault stroke/reach.cpp 'for (int v = 0; v < mesh.vertexCount; ++v)' \
  'for (int v = 0; v <= mesh.vertexCount; ++v)' \
  "stroke boxes: a mesh's box reads one vertex past its last"
fault render/screen_boxes.cpp 'x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1' 'x0 <= o.x1 && o.x0 < x1 && y0 <= o.y1' \
  "screen boxes: boxes that touch on one side do not meet"
fault app/input.cpp 'region.Add(x - kPickRegion / 2.0, y - kPickRegion / 2.0);' 'region.Add(x, y);' \
  "picking: strokes left of and below the pointer not drawn into the pick region"

# Control limits and panel buttons.
fault glui/controls.cpp '(value < low || value > high)' '(value < low || value >= high)' \
  "spinner: a value at the top limit moved to the low end when the limits are set"
fault glui/controls.cpp 'current = std::clamp(line, 0, std::max(0, static_cast<int>(items.size()) - 1));' \
  'current = std::clamp(line, 0, std::max(0, static_cast<int>(items.size())));' \
  "list: a line past the last item can be made current"
fault glui/draw.cpp 'for (int line = first; line < end; ++line) {' \
  'for (int line = first; line <= end; ++line) {' \
  "list: one row drawn past the last shown item"
fault glui/draw.cpp 'if (!ImGui::IsItemActive()) thumb_grab = -1;' '' \
  "list: the thumb keeps following the pointer after the button is let go"
fault panels/size_panel.cpp 'id > kCollisionHeightShrink) return;' 'id >= kCollisionHeightShrink) return;' \
  "size panel: the collision height's \"-\" does nothing"
fault panels/stroke_panel.cpp 'if (HasSelectedStroke()) UpdateSelectedStroke();' \
  'if (HasSelectedStroke()) ResizeSelectedStroke();' \
  "stroke panel: Update only resizes the selected stroke"
fault panels/camera_panel.cpp 'glui->add_button("Delete Selected", kDeleteSelected, OnCameraPanelControl);' \
  'glui->add_button("Delete Selected", kDeleteAll, OnCameraPanelControl);' \
  "camera panel: Delete Selected deletes every stroke"

# Stroke bounds.
fault stroke/collisions.cpp 'stroke.bounds[3].y = minY;' 'stroke.bounds[3].y = maxY;' \
  "stroke bounds: the fourth corner at the top"
fault stroke/collisions.cpp 'if (p.x == 0.0f || p.y == 0.0f || p.z == 0.0f) continue;' \
  'if (p.x == 0.0f || p.y == 0.0f) continue;' \
  "stroke bounds: vertices on the canvas plane widen them"
fault stroke/segment_tree.cpp '(q.minY - p.maxY > margin)' '(q.minY - p.maxX > margin)' \
  "collisions: boxes told apart by the y of one and the x of the other"

# Painting documents and their files.
# Left out as harmless: the autosave interval compared inclusively (the
# steady clock never lands on it exactly).
fault document/stroke_record.cpp $'  if (count > cap)\n' $'  if (count >= cap)\n' \
  "stroke records: a count exactly at its cap refused"
fault document/stroke_record.cpp 'stroke.subdivision.levels > limits_.subdivisionLevels)' \
  'stroke.subdivision.levels >= limits_.subdivisionLevels)' \
  "stroke records: the most subdivision levels refused"
fault document/stroke_record.cpp 'const std::uint64_t side = (1u << levels) + 1;' \
  'const std::uint64_t side = 1u << levels;' \
  "stroke records: the vertices of a subdivided mesh undercounted"
fault stroke/settings.h 'FIELD(int, subdivisionLevels, 0, Between(0, 5))' \
  'FIELD(int, subdivisionLevels, 0, Between(0, 4))' \
  "stroke settings: the top subdivision level refused by files and the panel"
fault document/manifest.cpp 'list->size() > std::size(kSlotNames))' 'list->size() >= std::size(kSlotNames))' \
  "manifest: a painting that embeds every map refused"
fault actions/documents.cpp 'static_cast<std::size_t>(slot) < strokes_.size()) strokes_[slot] = nullptr;' \
  'static_cast<std::size_t>(slot) <= strokes_.size()) strokes_[slot] = nullptr;' \
  "painting keeper: a new stroke's slot cleared one past the kept records"
fault actions/documents.cpp $'  if (report.allStrokes) strokes_.clear();\n' '' \
  "painting keeper: records kept after every stroke was replaced"
fault actions/documents.cpp 'report.kind == ActionKind::kFilter || report.kind == ActionKind::kOpen' \
  'report.kind == ActionKind::kFilter' \
  "painting keeper: the filtered picture kept when a painting opens"
fault actions/painting_files.cpp 'a.modified != b.modified ? a.modified > b.modified' \
  'a.modified != b.modified ? a.modified < b.modified' \
  "painting list: the oldest painting first"
fault actions/painting_files.cpp "text[end + 2] != 'Z'" "text[end + 1] != 'Z'" \
  "recovery: a run that ended but was not waited for taken as still going"
fault actions/painting_files.cpp $'  if (revision != files.handedRevision)\n    Writer().Hand(' \
  $'  if (revision == files.handedRevision)\n    Writer().Hand(' \
  "quitting: the changes since the last autosave left unwritten"
fault image/rgba_picture.cpp 'const std::int64_t scaled = (std::int64_t{length} * size + longest / 2) / longest;' \
  'const std::int64_t scaled = (std::int64_t{length} * size) / longest;' \
  "thumbnails: the shorter side rounded down"
fault image/rgba_picture.cpp '&picture.pixels[(std::size_t(y) * picture.width + columns.first) * 4];' \
  '&picture.pixels[(std::size_t(y) * picture.width + columns.first + 1) * 4];' \
  "thumbnails: each box read one pixel to the right, past the last"

# What a person meets that once no test caught.
fault glui/controls.cpp 'if (limit_type == GLUI_LIMIT_CLAMP && (value < low || value > high)) {' \
  'if (limit_type == GLUI_LIMIT_CLAMP && value < low) {' \
  "spinner: a value above the top limit kept when the limits are set"
fault stroke/history.cpp $'  if (!changed) return;\n  for (const Step& dropped : redo_) bytes_ -= dropped.bytes;\n  redo_.clear();\n' \
  $'  for (const Step& dropped : redo_) bytes_ -= dropped.bytes;\n  redo_.clear();\n  if (!changed) return;\n' \
  "undo history: a step that changed nothing drops what could be redone"
fault play/pointer_routing.cpp '*localY = y - rect.y;' '*localY = y - rect.x;' \
  "pointer routing: a move over a control subwindow offset down by its offset across"
fault panels/camera_panel.cpp 'key.Add(static_cast<const CameraPose&>(state.camera));' \
  'key.Add(state.camera.eye).Add(state.camera.upPoint).Add(state.camera.sidePoint).Add(state.camera.target);' \
  "camera panel: its redraw compares the camera's points but not its field of view"
fault document/manifest.cpp $'  manifest.formatMajor = -1;\n' '' \
  "manifest: one without its format's major version read as the current format"
fault actions/painting_files.cpp 'if (now - files.lastHanded < kAutosaveEvery || Writer().Busy()) return;' \
  'if (Writer().Busy()) return;' \
  "autosave: written at every idle step instead of every few seconds"
fault panels/painting_window.cpp $'  if (Window.asking == asking && Window.askedFor == path) {\n    StartAction();\n    return true;\n  }\n  StartAction();\n' \
  $'  StartAction();\n  if (Window.asking == asking && Window.askedFor == path) return true;\n' \
  "Paintings window: Replace asks again at its second click and never saves"
fault render/screen_boxes.cpp 'const double sign = side % 2 == 0 ? 1 : -1;' 'const double sign = 1;' \
  "confined pass: faces inside the box taken for faces beyond its right and top sides"
fault glui/typed_text.cpp '    if (glutKey) break;  // the key GLUT hands over' '' \
  "typed letters: every letter read typed before the key GLUT hands over, out of order"

# ---- Running them ---------------------------------------------------------------
count=${#files[@]}
mode=run
sanitize=false
selected=()
for arg in "$@"; do
  case $arg in
    --list) mode=list ;;
    --check) mode=check ;;
    --asan) sanitize=true ;;
    *[!0-9]* | '') echo "usage: $0 [--list | --check | --asan] [NUMBER...]" >&2; exit 2 ;;
    *)
      if [ "$arg" -lt 1 ] || [ "$arg" -gt "$count" ]; then
        echo "no fault $arg (1 to $count)" >&2
        exit 2
      fi
      selected+=("$arg") ;;
  esac
done
[ ${#selected[@]} -gt 0 ] || selected=($(seq "$count"))

if [ $mode = list ]; then
  for n in "${selected[@]}"; do printf '%2d  %-28s %s\n' "$n" "${files[n-1]}" "${notes[n-1]}"; done
  exit 0
fi

# apply N DIR: puts fault N into DIR's copy of its file; fails unless its
# text occurs exactly once.
apply() {
  OLD=${olds[$1-1]} NEW=${news[$1-1]} perl -0777 -i -pe '
    BEGIN { $found = 0 }
    $found += s/\Q$ENV{OLD}\E/$ENV{NEW}/g;
    END { exit($found == 1 ? 0 : 3) }' "$2/${files[$1-1]}"
}

if [ $mode = check ]; then
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/kelvra_mutate_check_XXXXXX") || exit 1
  trap 'rm -rf "$scratch"' EXIT
  status=0
  for n in "${selected[@]}"; do
    mkdir -p "$scratch/$(dirname "${files[n-1]}")"
    cp "${files[n-1]}" "$scratch/${files[n-1]}"
    if ! apply "$n" "$scratch"; then
      echo "fault $n: its text is not found exactly once in ${files[n-1]}"
      status=1
    fi
    rm -f "$scratch/${files[n-1]}"
  done
  [ $status = 0 ] && echo "all ${#selected[@]} faults apply"
  exit $status
fi

# The copy: the checkout's tracked and new files, content-compared, so an
# unchanged file keeps the time stamp the build last saw. Copied files get
# the current time, so whatever was built from an older content rebuilds.
mkdir -p "$src"
listing=$(mktemp) || exit 1
trap 'rm -f "$listing"' EXIT
git ls-files -z --cached --others --exclude-standard | sort -z >"$listing"
while IFS= read -r -d '' file; do
  [ -f "$file" ] || continue
  if ! cmp -s "$file" "$src/$file"; then
    mkdir -p "$src/$(dirname "$file")" && cp "$file" "$src/$file" || exit 1
  fi
done <"$listing"
# Files gone from the checkout go from the copy too.
(cd "$src" && find . -type f ! -path './.git/*' -printf '%P\0' | sort -z) |
  comm -z -23 - "$listing" | (cd "$src" && xargs -0 -r rm -f)
# The glTF validator the export tests run is installed into the checkout
# only (git ignores it): the copy uses that one.
validator=tools/gltf_validator/node_modules
[ -d "$validator" ] && ln -sfn "$root/$validator" "$src/$validator"

log=$work/log
report=$work/report.txt
configuration=(-DKELVRA_BENCH=OFF)
if $sanitize; then
  build=$work/build-asan
  log=$work/log-asan
  report=$work/report-asan.txt
  configuration=(-DKELVRA_SANITIZE=ON -DKELVRA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  # As ./test.sh runs the sanitizer build.
  export LSAN_OPTIONS="suppressions=$src/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
# Every fault is built in and then out again: with ccache the way back
# costs nothing but the link.
if command -v ccache >/dev/null; then
  configuration+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$work
fi
mkdir -p "$log" "$build"

build_copy() {
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$src" -B "$build" -G Ninja "${configuration[@]}" >"$1" 2>&1 || return 1
  fi
  nice ninja -C "$build" -j2 >>"$1" 2>&1
}

ctest_copy() {
  (cd "$build" && nice xvfb-run -a ctest -j2 --stop-on-failure "$@")
}

# The sanitizer build checks leaks in the tests without a display only: the
# GL driver leaks from a module it unloads at exit.
run_tests() {
  if ! $sanitize; then
    ctest_copy --timeout 120 >"$1" 2>&1
    return
  fi
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" ctest_copy --timeout 600 -L unit >"$1" 2>&1 &&
    ASAN_OPTIONS="detect_leaks=0:abort_on_error=1" ctest_copy --timeout 600 -L gl >>"$1" 2>&1
}

echo "== Building and testing the unchanged copy"
if ! build_copy "$log/unchanged.build"; then
  tail -n 40 "$log/unchanged.build"
  echo "the unchanged tree does not build"
  exit 1
fi
if ! run_tests "$log/unchanged.test"; then
  grep -E '\*\*\*Failed|\*\*\*Timeout|\*\*\*Exception' "$log/unchanged.test"
  echo "the tests fail on the unchanged tree"
  exit 1
fi

caught=0 ran=0
missed=() broken=()
: >"$report"
for n in "${selected[@]}"; do
  file=${files[n-1]}
  label=$(printf '%2d %s' "$n" "${notes[n-1]}")
  if ! apply "$n" "$src"; then
    cp "$file" "$src/$file"
    broken+=("$label (text not found once in $file)")
    echo "ERROR   $label: text not found once in $file" | tee -a "$report"
    continue
  fi
  if ! build_copy "$log/$n.build"; then
    outcome="ERROR   $label: does not build"
    broken+=("$label (does not build)")
  elif run_tests "$log/$n.test"; then
    outcome="MISSED  $label"
    missed+=("$label")
    ran=$((ran + 1))
  else
    first=$(grep -m1 -oE 'Test +#[0-9]+: [^ ]+' "$log/$n.test" | sed -E 's/Test +#[0-9]+: //')
    failed=$(grep -m1 -E '\*\*\*Failed|\*\*\*Timeout|\*\*\*Exception|\(Failed\)' "$log/$n.test" |
      sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+).*/\1/')
    outcome="caught  $label  [${failed:-$first}]"
    caught=$((caught + 1))
    ran=$((ran + 1))
  fi
  echo "$outcome" | tee -a "$report"
  # Back to the checkout's content, with a new time stamp so it rebuilds.
  cp "$file" "$src/$file"
done

{
  echo
  if [ $ran -gt 0 ]; then
    echo "caught $caught of $ran ($((100 * caught / ran)) %)"
  fi
  [ ${#missed[@]} -eq 0 ] || printf 'missed: %s\n' "${missed[@]}"
  [ ${#broken[@]} -eq 0 ] || printf 'not run: %s\n' "${broken[@]}"
} | tee -a "$report"
[ ${#missed[@]} -eq 0 ] && [ ${#broken[@]} -eq 0 ]
