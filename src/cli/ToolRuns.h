#pragma once

namespace varnel {

struct CommandLine;

// The command line's picture tools, without a window or a display:
// "varnel --join OUT FILE…" and "varnel --ocr FILE…". Each returns the
// program's exit status.
int RunJoin(int argc, char** argv, const CommandLine& args);
int RunOcr(int argc, char** argv, const CommandLine& args);

} // namespace varnel
