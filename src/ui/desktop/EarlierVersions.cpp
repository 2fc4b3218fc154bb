#include "ui/desktop/EarlierVersions.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "ui/desktop/PairPath.h"
#include "ui/document/EditorSession.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/PathText.h"

namespace kestrel::ui {

namespace {

// Far above any pair the editor writes; a larger file is not a pair to keep.
constexpr qint64 kMaxPairFileBytes = 64 * 1024 * 1024;

// The files of the pair at path, read before a save replaces them.
struct Replaced {
    QString path;
    QByteArray names;
    QByteArray binary;
};

std::optional<QByteArray> readRegular(const std::string& path) {
    const QString name = UiPath(path);
    if (!QFileInfo(name).isFile() || QFileInfo(name).size() > kMaxPairFileBytes)
        return std::nullopt;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QString whenText(const QDateTime& when) {
    const QLocale locale;
    if (when.date() == QDate::currentDate())
        return when.toString(QStringLiteral("HH:mm:ss"));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.toString(QStringLiteral("HH:mm:ss"));
}

}  // namespace

void InstallVersionKeeping(EditorSession& session, VersionStore store) {
    auto replaced = std::make_shared<std::optional<Replaced>>();
    QObject::connect(&session, &EditorSession::aboutToSave, &session,
                     [replaced](const QString& path) {
                         replaced->reset();
                         const EquipmentFilePaths files = PathsFor(CorePath(path));
                         auto binary = readRegular(files.binary);
                         auto names = readRegular(files.nameList);
                         if (binary && names)
                             *replaced = Replaced{path, *names, *binary};
                     });
    QObject::connect(&session, &EditorSession::pairSaved, &session,
                     [replaced, store](const QString& path) mutable {
                         if (!*replaced || (*replaced)->path != path)
                             return;
                         const Replaced r = std::move(**replaced);
                         replaced->reset();
                         if (!store.keep(path, r.names, r.binary)) {
                             MsgBox(QStringLiteral(
                                 "The pair was saved, but the files it replaced could not be "
                                 "kept among the earlier versions."));
                         }
                     });
}

EarlierVersionsDialog::EarlierVersionsDialog(const QString& pairPath,
                                             std::vector<PairVersion> versions, QWidget* parent)
    : QDialog(parent), mVersions(std::move(versions)) {
    setObjectName(QStringLiteral("frmVersions"));
    setWindowTitle(QStringLiteral("Earlier versions of %1").arg(PairCaption(pairPath)));
    auto* layout = new QVBoxLayout(this);
    auto* label =
        new QLabel(QStringLiteral("The pair as each save found it, newest first. The one you open "
                                  "replaces the list; saving it puts it back on disk."),
                   this);
    label->setWordWrap(true);
    layout->addWidget(label);
    mList = new QListWidget(this);
    mList->setObjectName(QStringLiteral("lstVersions"));
    const QLocale locale;
    for (const PairVersion& version : mVersions) {
        QString text = whenText(version.keptAt);
        if (version.records >= 0)
            text += QStringLiteral(" \u2014 %1 records").arg(locale.toString(version.records));
        mList->addItem(text);
    }
    mList->setCurrentRow(0);
    label->setBuddy(mList);
    layout->addWidget(mList);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    QPushButton* open = buttons->button(QDialogButtonBox::Open);
    open->setObjectName(QStringLiteral("cmdOpenVersion"));
    open->setText(QStringLiteral("&Open"));
    open->setEnabled(!mVersions.empty());
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mList, &QListWidget::itemActivated, this, &QDialog::accept);
    resize(sizeHint().expandedTo(QSize(420, 320)));
}

const PairVersion* EarlierVersionsDialog::version() const {
    const int row = mList->currentRow();
    if (row < 0 || row >= static_cast<int>(mVersions.size()))
        return nullptr;
    return &mVersions[static_cast<std::size_t>(row)];
}

bool OpenVersion(EditorSession& session, const PairVersion& version) {
    QByteArray names, binary;
    if (!VersionStore::read(version, names, binary)) {
        MsgBox(QStringLiteral("The earlier version in %1 cannot be read.")
                   .arg(QDir::toNativeSeparators(version.folder)));
        return false;
    }
    auto list = std::make_unique<Equipments>();
    if (DecodeEquipmentPair(std::string_view(names.constData(), names.size()),
                            std::string_view(binary.constData(), binary.size()), *list) != 0) {
        MsgBox(QStringLiteral("The earlier version in %1 cannot be read.")
                   .arg(QDir::toNativeSeparators(version.folder)));
        return false;
    }
    if (!session.settleBeforeReplacing())
        return false;
    session.adoptList(std::move(list), session.pairPath());
    return true;
}

void ShowEarlierVersions(EditorSession& session, const VersionStore& store) {
    const QString pair = session.pairPath();
    if (pair.isEmpty())
        return;
    EarlierVersionsDialog dialog(pair, store.versions(pair), session.dialogParent());
    if (dialog.exec() != QDialog::Accepted || !dialog.version())
        return;
    OpenVersion(session, *dialog.version());
}

}  // namespace kestrel::ui
