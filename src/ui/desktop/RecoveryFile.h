#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace kestrel::ui {

// Unsaved work as the recovery file holds it: the pair's two files as a save
// would write them, which pair they belong to and when they were written.
struct RecoveredWork {
    QString pairPath;
    QDateTime writtenAt;
    QByteArray names;
    QByteArray binary;
};

QByteArray EncodeRecovery(const RecoveredWork& work);
// Nothing for bytes that are not a whole recovery file.
std::optional<RecoveredWork> DecodeRecovery(const QByteArray& bytes);

// The question asked at start: "Restore unsaved work on EQUIP97.EQP in
// /home/me/Ironfront2 from 14:02?", with the date too when it is not today's.
QString RecoveryQuestion(const RecoveredWork& work, const QDate& today);

}  // namespace kestrel::ui
