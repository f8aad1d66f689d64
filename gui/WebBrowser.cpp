// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/WebBrowser.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <algorithm>

#include "drawing/MessageService.h"

namespace WebBrowser {

bool IsWebAddress(const QString& address) {
    if (!address.startsWith("http://", Qt::CaseInsensitive) &&
        !address.startsWith("https://", Qt::CaseInsensitive)) {
        return false;
    }
    return std::none_of(address.begin(), address.end(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString FixedPageAddress(int command) {
    switch (command) {
        case 6004:
            return "http://www.xnview.com/";
        case 6005:
            return "https://www.sqlite.org";
        case 6006:
            return "http://www.smorgasbordet.com/pellesc/";
        case 6007:
            return "http://www.jpl.nasa.gov";
        case 6008:
            return "http://upx.github.io";
        case 6009:
            return "http://nivra.example.org/index.php";
        default:
            return {};
    }
}

std::string RewritePlaceholder(std::string command) {
    const std::size_t percent = command.find('%');
    if (percent != std::string::npos && percent + 1 < command.size())
        command[percent + 1] = 's';
    return command;
}

namespace {

// One argument of a browser command while it is read.
struct Token {
    QString Text;
    bool Quoted = false;    // had quotes (an empty "" is still an argument)
    bool OnlyCodes = true;  // held nothing but field codes (then it vanishes when empty)
};

}  // namespace

std::optional<Launch> MakeLaunch(const std::string& commandBytes, const QString& address) {
    const QString command = QString::fromUtf8(commandBytes);
    // The command line's length with the address in decides how much of the address fits.
    const qsizetype placeholder = command.indexOf("%s");
    QString page = address;
    if (placeholder >= 0) {
        const qsizetype room = static_cast<qsizetype>(kMaxCommandLine) - (command.size() - 2);
        page.truncate(std::max<qsizetype>(0, room));
    }

    std::vector<Token> tokens;
    bool inQuotes = false;
    bool inToken = false;
    bool placed = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command[i];
        if (!inQuotes && (c == ' ' || c == '\t' || c == '\n')) {
            inToken = false;
            continue;
        }
        if (!inToken) {
            tokens.push_back({});
            inToken = true;
        }
        Token& token = tokens.back();
        if (c == '"') {
            inQuotes = !inQuotes;
            token.Quoted = true;
            continue;
        }
        if (inQuotes && c == '\\' && i + 1 < command.size() &&
            QString("\"`$\\").contains(command[i + 1])) {
            token.Text += command[++i];
            token.OnlyCodes = false;
            continue;
        }
        if (c == '%' && i + 1 < command.size()) {
            const QChar code = command[++i];
            if (!placed) {
                // The first placeholder takes the address. Inside quotes it would be read by
                // whatever reads that argument (a shell's -c): such a command is refused.
                if (inQuotes || tokens.size() == 1)
                    return std::nullopt;  // nor may the address be the program
                placed = true;
                token.Text += page;
                token.OnlyCodes = false;
            } else if (code == '%') {
                token.Text += '%';
                token.OnlyCodes = false;
            }
            continue;  // any other field code is removed
        }
        token.Text += c;
        token.OnlyCodes = false;
    }
    if (inQuotes)
        return std::nullopt;

    QStringList words;
    for (const Token& token : tokens) {
        if (token.Text.isEmpty() && token.OnlyCodes && !token.Quoted)
            continue;
        words << token.Text;
    }
    if (words.isEmpty() || words.front().isEmpty())
        return std::nullopt;
    Launch launch;
    launch.Program = words.takeFirst();
    launch.Arguments = words;
    return launch;
}

BrowserLookup DesktopBrowserLookup() {
    BrowserLookup lookup;
#ifdef _WIN32
    return lookup;  // the registry is read instead
#endif
    lookup.DefaultBrowserId = [] {
        QProcess settings;
        settings.start("xdg-settings", {"get", "default-web-browser"});
        if (!settings.waitForFinished(5000) || settings.exitStatus() != QProcess::NormalExit ||
            settings.exitCode() != 0) {
            settings.kill();
            return QString();
        }
        return QString::fromLocal8Bit(settings.readAllStandardOutput()).trimmed();
    };
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString home = environment.value("XDG_DATA_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + "/.local/share";
    QString dirs = environment.value("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = "/usr/local/share:/usr/share";
    lookup.DataFolders << home;
    for (const QString& folder : dirs.split(':', Qt::SkipEmptyParts))
        lookup.DataFolders << folder;
    return lookup;
}

namespace {

// The desktop entry file of desktop id `id` under the data folders: "applications/<id>", or a
// file in a subfolder whose path, '/' read as '-', is the id.
QString FindDesktopEntry(const QString& id, const QStringList& folders) {
    if (id.isEmpty() || id.contains('/') || !id.endsWith(".desktop"))
        return {};
    for (const QString& folder : folders) {
        const QString applications = folder + "/applications";
        if (QFile::exists(applications + "/" + id))
            return applications + "/" + id;
        QDirIterator files(applications, {"*.desktop"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QString relative = QDir(applications).relativeFilePath(path);
            if (relative.replace('/', '-') == id)
                return path;
        }
    }
    return {};
}

// The value of the Exec key of the [Desktop Entry] group, as its bytes stand in the file.
std::optional<std::string> ExecValue(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry || !line.startsWith("Exec"))
            continue;
        const QByteArray key = line.left(line.indexOf('=')).trimmed();
        if (key != "Exec" || !line.contains('='))
            continue;
        return line.mid(line.indexOf('=') + 1).trimmed().toStdString();
    }
    return std::nullopt;
}

// A desktop entry string with its escapes read: \s \n \t \r \\ (others are left for the
// Exec key's own quoting).
std::string Unescape(const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char* replacement = nullptr;
            switch (value[i + 1]) {
                case 's':
                    replacement = " ";
                    break;
                case 'n':
                    replacement = "\n";
                    break;
                case 't':
                    replacement = "\t";
                    break;
                case 'r':
                    replacement = "\r";
                    break;
                case '\\':
                    replacement = "\\";
                    break;
                default:
                    break;
            }
            if (replacement != nullptr) {
                text += replacement;
                ++i;
                continue;
            }
        }
        text += value[i];
    }
    return text;
}

}  // namespace

std::optional<std::string> DefaultBrowserCommand(const BrowserLookup& lookup) {
    if (!lookup.DefaultBrowserId)
        return std::nullopt;
    const QString entry = FindDesktopEntry(lookup.DefaultBrowserId(), lookup.DataFolders);
    if (entry.isEmpty())
        return std::nullopt;
    const std::optional<std::string> exec = ExecValue(entry);
    if (!exec || exec->empty() || exec->size() > kMaxCommandBytes)
        return std::nullopt;
    return RewritePlaceholder(Unescape(*exec));
}

void OpenWebPage(const QString& address, const BrowserLookup& lookup, MessageService& messages) {
    // The address becomes one argument of the browser: only a web address may, whoever asks.
    if (!IsWebAddress(address))
        return;
#ifdef _WIN32
    if (!lookup.DefaultBrowserId) {  // no lookup of a test's: the registry
        const std::optional<std::string> command = RegistryBrowserCommand();
        if (!command)
            messages.Show("Cannot find the default web browser!", MessageIcon::Error);
        else
            StartWindowsBrowser(*command, address.toLocal8Bit().toStdString());
        return;
    }
#endif
    const std::optional<std::string> command = DefaultBrowserCommand(lookup);
    if (!command) {
        messages.Show("Cannot find the default web browser!", MessageIcon::Error);
        return;
    }
    if (const std::optional<Launch> launch = MakeLaunch(*command, address))
        QProcess::startDetached(launch->Program, launch->Arguments);
}

}  // namespace WebBrowser
