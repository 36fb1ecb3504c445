// What the host prints for --help and --version.
#pragma once

namespace host {

// The options, then the files the program reads and writes, its keys, the environment
// variables and the exit codes, on standard output.
void print_help();

// "gdibench VERSION (commit C)" on standard output.
void print_version();

}  // namespace host
