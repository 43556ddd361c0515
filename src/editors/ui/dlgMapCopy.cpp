#include "editors/ui/dlgMapCopy.h"

#include "editors/GridRules.h"
#include "model/Tune.h"
#include "platform/MessageBoxService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct CopyEntry
{
    const char *sourceText;
    const char *checkName;
    const char *checkCaption;
    MapKey map;
};

// In source list order; the map keys follow the catalogue's order.
constexpr CopyEntry Entries[dlgMapCopy::MapCount] = {
    {"High Octane Fuel Map", "checkHOFuelMap", "&High Octane Fuel Map", MapKey::HOFM},
    {"High Octane High Gear Fuel Map", "checkHOHGFuelMap", "H&igh Octane High Gear Fuel Map", MapKey::HOHGFM},
    {"Low Octane Fuel Map", "checkLOFuelMap", "&Low Octane Fuel Map", MapKey::LOFM},
    {"Low Octane High Gear Fuel Map", "checkLOHGFuelMap", "Lo&w Octane High Gear Fuel Map", MapKey::LOHGFM},
    {"High Octane Timing Map", "checkHOTimingMap", "Hi&gh Octane Timing Map", MapKey::HOTM},
    {"Low Octane Timing Map", "checkLOTimingMap", "Low Octane &Timing Map", MapKey::LOTM},
};

bool isTimingEntry(int index)
{
    return index >= 4;
}

} // namespace

dlgMapCopy::dlgMapCopy(EditSession &edits, MessageBoxService &messages, QWidget *parent)
    : QDialog(parent)
    , m_edits(edits)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("dlgMapCopy"));
    setWindowTitle(QStringLiteral("Copy Fuel / Timing Maps"));
    auto *outer = new QVBoxLayout(this);

    comboSourceMap = new QComboBox(this);
    comboSourceMap->setObjectName(QStringLiteral("comboSourceMap"));
    for (const CopyEntry &e : Entries)
        comboSourceMap->addItem(QLatin1String(e.sourceText));
    auto *sourceLabel = new QLabel(QStringLiteral("&Select Source Map"), this);
    sourceLabel->setBuddy(comboSourceMap);
    outer->addWidget(sourceLabel);
    outer->addWidget(comboSourceMap);

    auto *frame = new QGroupBox(QStringLiteral("Copy Source Map To"), this);
    auto *targets = new QVBoxLayout(frame);
    for (int i = 0; i < MapCount; ++i) {
        m_targets[i] = new QCheckBox(QLatin1String(Entries[i].checkCaption), frame);
        m_targets[i]->setObjectName(QLatin1String(Entries[i].checkName));
        targets->addWidget(m_targets[i]);
    }
    outer->addWidget(frame);

    auto *buttons = new QHBoxLayout;
    buttonCopy = new QPushButton(QStringLiteral("C&opy Maps..."), this);
    buttonCopy->setObjectName(QStringLiteral("buttonCopy"));
    buttonCopy->setAutoDefault(false);
    CancelButton = new QPushButton(QStringLiteral("&Close"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(buttonCopy);
    buttons->addWidget(CancelButton);
    outer->addLayout(buttons);

    // A new source clears the targets at once, so no box of the wrong kind
    // can stay ticked.
    connect(comboSourceMap, &QComboBox::currentIndexChanged, this, [this] { comboSourceMap_Validate(); });
    connect(buttonCopy, &QPushButton::clicked, this, [this] { buttonCopy_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    comboSourceMap->setCurrentIndex(0);
    comboSourceMap_Validate();
}

QCheckBox *dlgMapCopy::targetCheck(int index) const
{
    return index >= 0 && index < MapCount ? m_targets[index] : nullptr;
}

void dlgMapCopy::comboSourceMap_Validate()
{
    const int source = comboSourceMap->currentIndex();
    for (QCheckBox *box : m_targets) {
        box->setChecked(false);
        box->setEnabled(true);
    }
    if (source < 0 || source >= MapCount)
        return;
    m_targets[source]->setEnabled(false);
    for (int i = 0; i < MapCount; ++i)
        if (isTimingEntry(i) != isTimingEntry(source))
            m_targets[i]->setEnabled(false);
}

void dlgMapCopy::CopyMap(const CVMapInfo &source, MapKey target, std::vector<ValueWrite> &writes)
{
    const TuneItem item = ItemOfMap(target);
    const int count = source.NumCols() * source.NumRows();
    for (int i = 0; i < count; ++i)
        writes.push_back({item, i, source.MapValue(i)});
}

void dlgMapCopy::buttonCopy_Click()
{
    const int source = comboSourceMap->currentIndex();
    if (source < 0 || source >= MapCount)
        return;
    const QString question = QStringLiteral("Are you sure you want to overwrite the selected maps with data from the ")
        + comboSourceMap->currentText() + QStringLiteral("?");
    if (!m_messages.askYesNo(this, question))
        return;

    const CVMapInfo &from = m_edits.tune().map(Entries[source].map);
    std::vector<ValueWrite> writes;
    for (int i = 0; i < MapCount; ++i) {
        // Only enabled boxes count: the source and the other kind's maps are
        // never targets.
        if (i != source && m_targets[i]->isChecked() && m_targets[i]->isEnabled())
            CopyMap(from, Entries[i].map, writes);
    }
    m_edits.CommitLocal(writes, QStringLiteral("Copy ") + comboSourceMap->currentText());

    m_messages.info(this, QStringLiteral("Copy complete.  Changes have been made locally.  You should use the "
                                         "\"Write To Vantrelle\" menu item to update the hardware."));
    emit reselectCurrentPanel();
}
