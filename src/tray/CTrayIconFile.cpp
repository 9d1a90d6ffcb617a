#include "tray/CTrayIconFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <utility>

CTrayIconFile::CTrayIconFile() = default;

CTrayIconFile::~CTrayIconFile() {
    Clear();
}

bool CTrayIconFile::MakeFolder() {
    if (!folder_.isEmpty()) {
        return true;
    }
    // The runtime folder is the user's own and lives in memory; a folder of ours inside it keeps
    // other users' processes from putting files where our hosts read.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) {
        const QString folder = QDir(runtime).filePath(
            QString("tallyglass-tray-%1").arg(QCoreApplication::applicationPid()));
        QDir dir(folder);
        if ((dir.exists() || dir.mkpath(".")) &&
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            folder_ = dir.absolutePath();
            return true;
        }
    }
    auto fallback = std::make_unique<QTemporaryDir>();
    if (!fallback->isValid()) {
        return false;
    }
    fallback_ = std::move(fallback);
    folder_ = fallback_->path();
    return true;
}

QString CTrayIconFile::Write(const QImage& picture) {
    RemovePrevious();
    // The file named so far goes too when this one fails: it shows an old picture.
    previous_ = std::exchange(path_, QString());
    if (picture.isNull() || !MakeFolder()) {
        return {};
    }
    const QString path = QDir(folder_).filePath(QString("icon-%1.png").arg(++counter_));
    if (!picture.save(path, "PNG")) {
        QFile::remove(path);
        return {};
    }
    path_ = path;
    return path_;
}

void CTrayIconFile::RemovePrevious() {
    if (!previous_.isEmpty()) {
        QFile::remove(std::exchange(previous_, QString()));
    }
}

void CTrayIconFile::Clear() {
    path_.clear();
    previous_.clear();
    if (fallback_) {
        fallback_.reset();  // removes the folder with it
    } else if (!folder_.isEmpty()) {
        QDir(folder_).removeRecursively();
    }
    folder_.clear();
}
