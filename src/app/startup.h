// The start-up of the runtime: what happens from process start to process
// end for each run mode.
#pragma once

namespace talvex {

// Runs the mode the command line asks for and gives the process exit code.
int start_up(int argc, char** argv);

}  // namespace talvex
