#pragma once

class QCommandLineParser;

namespace tamsel {

// The options of --export-video, for the program's --help.
void AddVideoExportOptions(QCommandLineParser& parser);

// Whether the command line asks for a video export rather than the window.
bool AsksForVideoExport(int argc, char** argv);

// tamsel --export-video ALBUM.tms OUT.mp4 [--size WxH] [--fps N] [--seed N]:
// records the show script's slide show into a video file without a window
// or a display. Returns the process's exit code.
int ExportVideoFromCommandLine(int argc, char** argv);

}  // namespace tamsel
