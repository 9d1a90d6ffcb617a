#pragma once

#include <QImage>
#include <QString>

#include <memory>

class QTemporaryDir;

// The tray picture as a PNG file of this program's own, for the hosts that take an item's icon
// only by name (Ayatana's indicator host ignores pictures sent over the bus). Hosts keep what
// they loaded under a name, so each new picture gets a new file name; the one before stays until
// the new one has been announced, so at most two files exist. The folder is private to the
// process and goes with Clear() or the object.
class CTrayIconFile {
public:
    CTrayIconFile();
    ~CTrayIconFile();
    CTrayIconFile(const CTrayIconFile&) = delete;
    CTrayIconFile& operator=(const CTrayIconFile&) = delete;

    // Writes the picture under a new name; the file's absolute path, or empty when it could not
    // be written (then there is no file to name).
    QString Write(const QImage& picture);
    // The file before the last Write, once hosts have been told of the new one.
    void RemovePrevious();
    // Removes the files and the folder.
    void Clear();

    const QString& Path() const { return path_; }
    const QString& Folder() const { return folder_; }

private:
    bool MakeFolder();

    QString folder_;
    std::unique_ptr<QTemporaryDir> fallback_;
    QString path_;
    QString previous_;
    int counter_ = 0;
};
