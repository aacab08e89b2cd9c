#pragma once
// The start as a benchmark sees it: with the environment variable
// ORDALIS_TRACE naming a file, each step of the start appends a line to it:
// the milliseconds since the process began, the step and the working set;
// with `modules`, also the modules that came into the process since the last
// such step (listing them takes Wine some milliseconds, so only a few steps
// ask). Without the variable (as users run the program) a step costs one
// test of a flag.
namespace ordalis::win32 {

void TraceStart(const char* step, bool modules = false);
// The same, the first time only (for a step that repeats, as a paint).
void TraceStartOnce(const char* step);

}  // namespace ordalis::win32
