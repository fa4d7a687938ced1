// Watches what the code linked into this test program takes from the
// system and gives back: GDI objects and device contexts, metafiles, file
// handles and heap blocks. The calls go through this program's import
// table, whose entries are pointed at counting stand-ins while recording,
// so the code under test runs unchanged. Heap blocks taken while
// recording end at an inaccessible page: a read past one faults.
#ifndef SFX_TESTS_WIN32_RELEASE_TRACKER_H
#define SFX_TESTS_WIN32_RELEASE_TRACKER_H

#include <string>

namespace tracker {

// Starts recording; forgets an earlier recording.
void Start();

// Stops recording. Returns one line for each thing taken while recording
// and still held, and for each release of something that was not taken
// while recording (a second release, or one of a foreign object); empty
// when everything taken was given back exactly once.
std::string Stop();

// How many things of `kind` ("brush", "font", "bitmap", "dc", "metafile",
// "file", "heap") were taken during the last recording.
int Taken(const char* kind);

}  // namespace tracker

#endif  // SFX_TESTS_WIN32_RELEASE_TRACKER_H
