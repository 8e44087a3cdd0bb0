#pragma once
// The viewer's window as a picture: the program's window with a ROM shown, set up as a user
// would set it up, rendered on the headless screen (so no display is needed) and written as a
// PNG, N times larger with every pixel an N x N square. What lies outside the window's outline
// (its cut corners) is transparent.
#include <string>

#include "viewer/CommandLine.h"

enum TExportResult { erWritten = 0, erFailed = 1, erUsage = 2 };

// Writes the picture that `options` asks for (Action clExport). On failure `message` says why:
// for erFailed what the message box would say about the ROM, or why the skin or the picture
// failed; for erUsage what was wrong with the command line (an unknown skin). `warning` is set
// for what the window tells without a message (an empty file, where it beeps).
TExportResult ExportWindowPicture(const TCommandLine& options, std::string& message, std::string& warning);
