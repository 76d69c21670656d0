#pragma once
// Shared pieces of the tool window tests: recorded messages instead of message boxes,
// answered file dialogs, and generated map files.

#include "shell/ErrorReport.h"

#include <QFileDialog>
#include <QStringList>

#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <utility>
#include <vector>

// Records every message the windows show while it lives.
class MessageRecorder {
public:
    struct Message {
        tbapp::MessageKind kind;
        QString text;
    };
    MessageRecorder() {
        m_previous =
            tbapp::setMessageSink([this](QWidget*, tbapp::MessageKind kind, const QString& text) {
                messages.push_back({kind, text});
            });
    }
    ~MessageRecorder() { tbapp::setMessageSink(std::move(m_previous)); }
    QStringList texts() const {
        QStringList list;
        for (const Message& m : messages)
            list << m.text;
        return list;
    }
    std::vector<Message> messages;

private:
    tbapp::MessageSink m_previous;
};

// A window whose file dialogs give the queued answers ("" is a cancelled dialog) and
// remember which dialog was asked.
template <typename Form> class Answered : public Form {
public:
    QStringList answers;
    std::vector<QFileDialog*> asked;

protected:
    QString runFileDialog(QFileDialog* dialog) override {
        asked.push_back(dialog);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

// A map-sized file of zeros (sparse, so it costs nothing).
inline QString sparseFile(const std::filesystem::path& path, std::int64_t size) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path).close();
    std::filesystem::resize_file(path, std::uintmax_t(size));
    return QString::fromStdString(path.string());
}

inline void writeCellBytes(const std::filesystem::path& path, std::int64_t offset,
                           std::vector<unsigned char> bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    if (fd >= 0) {
        [[maybe_unused]] auto n = ::pwrite(fd, bytes.data(), bytes.size(), off_t(offset));
        ::close(fd);
    }
}

inline std::vector<unsigned char> readBytesAt(const std::filesystem::path& path,
                                              std::int64_t offset, std::size_t size) {
    std::vector<unsigned char> bytes(size);
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        [[maybe_unused]] auto n = ::pread(fd, bytes.data(), size, off_t(offset));
        ::close(fd);
    }
    return bytes;
}
