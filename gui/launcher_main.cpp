// nivra-launcher: what the desktop entry starts. On the first start, when the user's program
// folder holds no catalogue, it makes the sample sky there with nivra-data; then it opens the
// viewer on that folder.
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/ProgramFolders.h"
#include "drawing/MessageService.h"
#include "gui/Launcher.h"
#include "gui/MessageBoxes.h"

namespace {

const char kUsage[] =
    "Usage: nivra-launcher [--folder DIR] [--prepare-only]\n"
    "\n"
    "Opens the Nivra viewer on DIR, or on the folder the viewer would choose itself (the\n"
    "folder of the program when it holds a catalogue, else $XDG_DATA_HOME/nivra). When that\n"
    "folder holds no catalogue, the sample sky is made there first with nivra-data.\n"
    "--prepare-only makes the sample when needed and stops there.\n";

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString folder;
    bool folderGiven = false;
    bool prepareOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arguments[i] == "--folder" && !folderGiven) {
            if (i + 1 == arguments.size() || arguments[i + 1].isEmpty()) {
                std::fprintf(stderr, "nivra-launcher: --folder needs a folder\n\n%s", kUsage);
                return 2;
            }
            folder = arguments[++i];
            folderGiven = true;
        } else if (arguments[i] == "--prepare-only" && !prepareOnly) {
            prepareOnly = true;
        } else {
            std::fprintf(stderr, "nivra-launcher: unknown or repeated argument \"%s\"\n\n%s",
                         arguments[i].toLocal8Bit().constData(), kUsage);
            return 2;
        }
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("Nivra");
    QApplication::setDesktopFileName("org.example.nivra");
    const QString programs = QApplication::applicationDirPath();
    if (!folderGiven)
        folder = DefaultProgramFolder(programs);
    if (NeedsSample(folder)) {
        QString error;
        if (!PrepareSampleFolder(programs + "/nivra-data", folder, error)) {
            MessageBoxes().Show(error, MessageIcon::Error);
            return 1;
        }
    }
    if (prepareOnly)
        return 0;
    // The viewer takes this process's place.
    const std::string viewer = QFile::encodeName(programs + "/nivra").toStdString();
    const std::string folderBytes = QFile::encodeName(folder).toStdString();
    std::vector<char*> command = {const_cast<char*>(viewer.c_str()), const_cast<char*>("--folder"),
                                  const_cast<char*>(folderBytes.c_str()), nullptr};
    execv(viewer.c_str(), command.data());
    const QString error = QString("Cannot start %1").arg(QFile::decodeName(viewer.c_str()));
    MessageBoxes().Show(error, MessageIcon::Error);
    return 1;
}
