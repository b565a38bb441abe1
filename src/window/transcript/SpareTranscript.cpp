// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transcript/SpareTranscript.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <filesystem>

namespace {

// Hex digits of the path's hash in the name: enough to tell a user's lessons apart.
constexpr int kHashDigits = 12;

} // namespace

std::string SpareTranscriptPath(const std::string& folder, const std::string& mediaPath)
{
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(mediaPath), QCryptographicHash::Sha256)
                                .toHex()
                                .left(kHashDigits);
    const std::string name = std::filesystem::path(mediaPath).filename().string();
    return (std::filesystem::path(folder) / (name + "-" + hash.toStdString() + ".lrc")).string();
}
