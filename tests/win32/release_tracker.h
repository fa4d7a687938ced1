// Watches what the code linked into this test program takes from the
// system and gives back: GDI objects and device contexts, metafiles, file
// handles and heap blocks. Their calls go through this program's import
// table, whose entries are pointed at recording stand-ins, so the code
// under test runs unchanged. Heap blocks taken while recording end at an
// inaccessible page: a read past one faults.
#ifndef SFX_TESTS_WIN32_RELEASE_TRACKER_H
#define SFX_TESTS_WIN32_RELEASE_TRACKER_H

#include <string>

namespace tracker {

void Start();
// Stops recording. One line for each thing taken and still held, and for
// each release of something not taken while recording (a second release);
// empty when everything taken was given back exactly once.
std::string Stop();
// How many of `kind` ("font", "file", "window dc", ...) the recording saw taken.
int Taken(const char* kind);

}  // namespace tracker

#endif  // SFX_TESTS_WIN32_RELEASE_TRACKER_H
