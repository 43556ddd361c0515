#include "analysis/ui/MapOverlayDialog.h"

#include "analysis/CursorWindow.h"
#include "analysis/ui/DatalogViewer.h"
#include "model/ProgramState.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

MapOverlayDialog::MapOverlayDialog(const ProgramState &state, SettingsStore &store, const DatalogViewer &viewer,
                                   GridLogMarks &marks, QWidget *parent)
    : QDialog(parent), m_state(state), m_store(store), m_viewer(viewer), m_marks(marks)
{
    const CellOverlay::Settings saved = CellOverlay::LoadSettings(store);
    setObjectName(QStringLiteral("MapOverlayDialog"));
    setWindowTitle(QStringLiteral("Map Overlay from Log"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    comboMap = new QComboBox(this);
    comboMap->setObjectName(QStringLiteral("comboMap"));
    for (const MapCatalogueEntry &e : MapCatalogue())
        if (IsBodyMap(e.key))
            comboMap->addItem(QLatin1String(e.name), static_cast<int>(e.key));
    // The map on screen when there is one, else the one chosen last time.
    comboMap->setCurrentIndex(std::max(0, comboMap->findData(static_cast<int>(saved.map))));
    if (const auto current = MapKeyFromPanel(state.CurrentPanel); current && IsBodyMap(*current))
        comboMap->setCurrentIndex(comboMap->findData(static_cast<int>(*current)));
    form->addRow(QStringLiteral("Map:"), comboMap);

    comboColumn = new QComboBox(this);
    comboColumn->setObjectName(QStringLiteral("comboColumn"));
    comboColumn->addItem(QStringLiteral("(none)"), -1);
    const DataLog &log = viewer.log();
    for (int c = 0; c < log.columnCount(); ++c)
        comboColumn->addItem(log.names[c], c);
    comboColumn->setCurrentIndex(std::max(0, log.columnIndex(saved.column) + 1));
    form->addRow(QStringLiteral("Average of:"), comboColumn);
    layout->addLayout(form);

    radioCounts = new QRadioButton(QStringLiteral("Sample counts"), this);
    radioCounts->setObjectName(QStringLiteral("radioCounts"));
    radioAverages = new QRadioButton(QStringLiteral("Averages"), this);
    radioAverages->setObjectName(QStringLiteral("radioAverages"));
    radioBoth = new QRadioButton(QStringLiteral("Counts and averages"), this);
    radioBoth->setObjectName(QStringLiteral("radioBoth"));
    radioTime = new QRadioButton(QStringLiteral("Time in each cell"), this);
    radioTime->setObjectName(QStringLiteral("radioTime"));
    radioCounts->setChecked(saved.show == CellOverlay::Show::Counts);
    radioAverages->setChecked(saved.show == CellOverlay::Show::Averages);
    radioBoth->setChecked(saved.show == CellOverlay::Show::Both);
    radioTime->setChecked(saved.show == CellOverlay::Show::Time);
    for (QRadioButton *radio : {radioCounts, radioAverages, radioBoth, radioTime})
        layout->addWidget(radio);
    checkInView = new QCheckBox(QStringLiteral("Only the samples in the viewer's time range"), this);
    checkInView->setObjectName(QStringLiteral("checkInView"));
    checkInView->setChecked(saved.inView);
    layout->addWidget(checkInView);
    checkWindow = new QCheckBox(QStringLiteral("Only the samples between the viewer's cursors A and B"), this);
    checkWindow->setObjectName(QStringLiteral("checkWindow"));
    checkWindow->setChecked(viewer.selectedWindow().has_value());
    layout->addWidget(checkWindow);

    auto *rule = lblRule = new QLabel(QStringLiteral("A sample falls into the cell the live trace would mark: the RPM row nearest "
                                           "to RPM / 50 and the TP column nearest to the rounded load, on the map's own "
                                           "axes."),
                            this);
    rule->setObjectName(QStringLiteral("lblRule"));
    rule->setWordWrap(true);
    layout->addWidget(rule);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    layout->addWidget(lblStatus);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *show = buttons->addButton(QStringLiteral("&Show"), QDialogButtonBox::ApplyRole);
    show->setObjectName(QStringLiteral("cmdShow"));
    QPushButton *clear = buttons->addButton(QStringLiteral("C&lear"), QDialogButtonBox::ResetRole);
    clear->setObjectName(QStringLiteral("cmdClear"));
    QPushButton *close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(show, &QPushButton::clicked, this, [this] { showOverlay(); });
    connect(clear, &QPushButton::clicked, this, &MapOverlayDialog::clearOverlay);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Wrapped labels never get less height than their text needs: the
    // result never runs over the explanation.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    setMinimumWidth(420);
}

MapOverlayDialog::~MapOverlayDialog()
{
    CellOverlay::SaveSettings(m_store, settings());
}

CellOverlay::Settings MapOverlayDialog::settings() const
{
    CellOverlay::Settings s;
    s.map = static_cast<MapKey>(comboMap->currentData().toInt());
    s.column = comboColumn->currentIndex() > 0 ? comboColumn->currentText() : QString();
    s.show = radioAverages->isChecked() ? CellOverlay::Show::Averages
             : radioBoth->isChecked()   ? CellOverlay::Show::Both
             : radioTime->isChecked()   ? CellOverlay::Show::Time
                                        : CellOverlay::Show::Counts;
    s.inView = checkInView->isChecked();
    return s;
}

void MapOverlayDialog::setStatus(const QString &text)
{
    lblStatus->setText(text);
    // A longer text needs more lines: the dialog grows rather than letting
    // the label spill over its neighbours.
    if (QLayout *l = layout()) {
        l->activate();
        const int need = l->hasHeightForWidth() ? l->totalHeightForWidth(width()) : l->totalSizeHint().height();
        if (need > height())
            resize(width(), need);
    }
}

bool MapOverlayDialog::showOverlay()
{
    const DataLog &log = m_viewer.log();
    const int rpm = log.columnIndex(QStringLiteral("RPM"));
    const int tp = log.columnIndex(QStringLiteral("TP"));
    if (rpm < 0 || tp < 0) {
        setStatus(QStringLiteral("The log has no RPM or no TP column."));
        return false;
    }
    const auto map = static_cast<MapKey>(comboMap->currentData().toInt());
    const int column = comboColumn->currentData().toInt();
    CursorWindow::Rows rows{0, log.rowCount()};
    if (checkInView->isChecked())
        rows = CursorWindow::RowsWithin(log, m_viewer.viewStart(), m_viewer.viewEnd());
    if (const auto window = m_viewer.selectedWindow(); checkWindow->isChecked() && window) {
        // Both ranges asked for: the samples in both.
        const CursorWindow::Rows between = CursorWindow::RowsWithin(log, window->first, window->second);
        const std::size_t first = std::max(rows.first, between.first);
        rows = {first, std::max(first, std::min(rows.end, between.end))};
    }
    const CellOverlay::Result r =
        CellOverlay::Compute(log, m_state.tune, map, rpm, tp, column, rows.first, rows.end);
    const CellOverlay::Settings chosen = settings();
    CellOverlay::SaveSettings(m_store, chosen);
    m_marks.setColumnName(comboColumn->currentIndex() > 0 ? comboColumn->currentText() : QString());
    m_marks.setOverlay(r, chosen.show);
    setStatus(QStringLiteral("%1 samples placed on %2; %3 without RPM or TP. Select the map in the tree to "
                                      "see them.")
                           .arg(r.samples)
                           .arg(comboMap->currentText())
                           .arg(r.skipped));
    return true;
}

void MapOverlayDialog::clearOverlay()
{
    m_marks.clearOverlay();
    setStatus(QStringLiteral("Overlay cleared."));
}
