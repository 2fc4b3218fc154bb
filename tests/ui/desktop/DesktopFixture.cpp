#include "ui/desktop/DesktopFixture.h"

#include <QDir>
#include <QUndoStack>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "ui/document/Document.h"
#include "ui/document/InsertRecordsCommand.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/FileDialog.h"

using namespace kestrel;
using namespace kestrel::ui;

void DesktopFixture::SetUp() {
    mdlGeneral::ResetEquipments();
    window.emplace();
    fake.onMessage = [this](const QString& text) { messages.push_back(text); };
    fake.onSaveChanges = [this](const QString&) {
        ++prompts;
        return promptAnswer;
    };
    fake.onFileName = [this](bool, const QString&) -> std::optional<QString> {
        if (answers.empty())
            return std::nullopt;
        QString a = answers.front();
        answers.erase(answers.begin());
        return a;
    };
}

void DesktopFixture::TearDown() {
    window.reset();
    mdlGeneral::ResetEquipments();
}

std::vector<Equipment> DesktopFixture::records(int count, const std::string& prefix) {
    std::vector<Equipment> out;
    for (int i = 0; i < count; ++i) {
        Equipment e;
        e.setEqCode(i);
        e.setEqName(prefix + " " + std::to_string(i));
        e.setEqClass(static_cast<Byte>(i % 20));
        e.setSoftAttack(static_cast<Byte>(i * 7 % 200));
        e.setCountry(i % 26);
        e.setPrestigeCost(12 * (i % 30));
        out.push_back(e);
    }
    return out;
}

QString DesktopFixture::writePair(const std::string& sub, const std::vector<Equipment>& list) {
    const std::string dir = folder / sub;
    QDir().mkpath(QString::fromStdString(dir));
    WritePair(dir, list);
    return QString::fromStdString(dir + "/EQUIP97.EQP");
}

std::string DesktopFixture::pairBytes(const std::vector<Equipment>& list) {
    const SamplePair pair = EncodePair(list);
    return pair.names + '\0' + pair.binary;
}

std::string DesktopFixture::listBytes() {
    std::string names, binary;
    EXPECT_EQ(EncodeNameList(mdlGeneral::gEquipments(), names), 0);
    EXPECT_EQ(EncodeBinaryFile(mdlGeneral::gEquipments(), binary), 0);
    return names + '\0' + binary;
}

bool DesktopFixture::saveTo(const QString& path) {
    answers.push_back(path);
    return window->SaveList();
}

void DesktopFixture::edit() {
    Document& document = mdlGeneral::document();
    document.undoStack()->push(new InsertRecordsCommand(
        document, QStringLiteral("Paste of 1 record"), document.equipments().Count() + 1,
        records(1, "Pasted"), InsertRecordsCommand::Selection::Keep));
}
