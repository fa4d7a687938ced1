// Deleting the built file after its run.
#include "stub.h"

// Starting the second instance that deletes the file arrives with self-removal.
void RelaunchForRemoval() {}

// Waiting for the first instance and deleting the file arrives with self-removal.
void RunSecondInstance(const char*) {}
