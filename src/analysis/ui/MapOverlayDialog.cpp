#include "analysis/ui/MapOverlayDialog.h"

#include "analysis/ui/DatalogViewer.h"
#include "model/ProgramState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

MapOverlayDialog::MapOverlayDialog(const ProgramState &state, const DatalogViewer &viewer, GridLogMarks &marks,
                             QWidget *parent)
    : QDialog(parent), m_state(state), m_viewer(viewer), m_marks(marks)
{
    setObjectName(QStringLiteral("MapOverlayDialog"));
    setWindowTitle(QStringLiteral("Map Overlay from Log"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    comboMap = new QComboBox(this);
    comboMap->setObjectName(QStringLiteral("comboMap"));
    for (const MapCatalogueEntry &e : MapCatalogue())
        if (IsBodyMap(e.key))
            comboMap->addItem(QLatin1String(e.name), static_cast<int>(e.key));
    if (const auto current = MapKeyFromPanel(state.CurrentPanel); current && IsBodyMap(*current))
        comboMap->setCurrentIndex(comboMap->findData(static_cast<int>(*current)));
    form->addRow(QStringLiteral("Map:"), comboMap);

    comboColumn = new QComboBox(this);
    comboColumn->setObjectName(QStringLiteral("comboColumn"));
    comboColumn->addItem(QStringLiteral("(none)"), -1);
    const DataLog &log = viewer.log();
    for (int c = 0; c < log.columnCount(); ++c)
        comboColumn->addItem(log.names[c], c);
    form->addRow(QStringLiteral("Average of:"), comboColumn);
    layout->addLayout(form);

    radioCounts = new QRadioButton(QStringLiteral("Sample counts"), this);
    radioCounts->setObjectName(QStringLiteral("radioCounts"));
    radioAverages = new QRadioButton(QStringLiteral("Averages"), this);
    radioAverages->setObjectName(QStringLiteral("radioAverages"));
    radioBoth = new QRadioButton(QStringLiteral("Counts and averages"), this);
    radioBoth->setObjectName(QStringLiteral("radioBoth"));
    radioCounts->setChecked(true);
    layout->addWidget(radioCounts);
    layout->addWidget(radioAverages);
    layout->addWidget(radioBoth);
    checkInView = new QCheckBox(QStringLiteral("Only the samples in the viewer's time range"), this);
    checkInView->setObjectName(QStringLiteral("checkInView"));
    layout->addWidget(checkInView);

    auto *rule = new QLabel(QStringLiteral("A sample falls into the cell the live trace would mark: the RPM row nearest "
                                           "to RPM / 50 and the TP column nearest to the rounded load, on the map's own "
                                           "axes."),
                            this);
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
}

bool MapOverlayDialog::showOverlay()
{
    const DataLog &log = m_viewer.log();
    const int rpm = log.columnIndex(QStringLiteral("RPM"));
    const int tp = log.columnIndex(QStringLiteral("TP"));
    if (rpm < 0 || tp < 0) {
        lblStatus->setText(QStringLiteral("The log has no RPM or no TP column."));
        return false;
    }
    const auto map = static_cast<MapKey>(comboMap->currentData().toInt());
    const int column = comboColumn->currentData().toInt();
    std::size_t first = 0, end = log.rowCount();
    if (checkInView->isChecked() && log.rowCount() > 0) {
        first = static_cast<std::size_t>(log.rowAtOrBefore(m_viewer.viewStart()));
        if (log.time[first] < m_viewer.viewStart())
            ++first;
        end = static_cast<std::size_t>(log.rowAtOrBefore(m_viewer.viewEnd())) + 1;
    }
    const CellOverlay::Result r = CellOverlay::Compute(log, m_state.tune, map, rpm, tp, column, first, end);
    GridLogMarks::Show show = GridLogMarks::Show::Counts;
    if (radioAverages->isChecked())
        show = GridLogMarks::Show::Averages;
    else if (radioBoth->isChecked())
        show = GridLogMarks::Show::Both;
    m_marks.setOverlay(r, show);
    lblStatus->setText(QStringLiteral("%1 samples placed on %2; %3 without RPM or TP. Select the map in the tree to "
                                      "see them.")
                           .arg(r.samples)
                           .arg(comboMap->currentText())
                           .arg(r.skipped));
    return true;
}

void MapOverlayDialog::clearOverlay()
{
    m_marks.clearOverlay();
    lblStatus->setText(QStringLiteral("Overlay cleared."));
}
