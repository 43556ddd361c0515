#pragma once

#include "editors/EditSession.h"
#include "model/MapCatalogue.h"

#include <QDialog>
#include <array>
#include <vector>

class CVMapInfo;
class MessageBoxService;
class QCheckBox;
class QComboBox;
class QPushButton;

// "Copy Fuel / Timing Maps": copies one of the six maps over others of the
// same kind (fuel onto fuel, timing onto timing) in the tune in memory, as one
// edit that is never written in real time.
class dlgMapCopy : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MapCount = 6;

    dlgMapCopy(EditSession &edits, MessageBoxService &messages, QWidget *parent = nullptr);

    // Source validation: clears and enables every target, then disables the
    // source itself and every map of the other kind.
    void comboSourceMap_Validate();
    // "C&opy Maps...".
    void buttonCopy_Click();

    // The writes that copy every entry of source into the map target.
    static void CopyMap(const CVMapInfo &source, MapKey target, std::vector<ValueWrite> &writes);

    QComboBox *sourceList() const { return comboSourceMap; }
    QCheckBox *targetCheck(int index) const;
    QPushButton *copyButton() const { return buttonCopy; }
    QPushButton *closeButton() const { return CancelButton; }

signals:
    // The tune changed under the panel on show: the main window selects its
    // current panel again so that the panel refills itself.
    void reselectCurrentPanel();

private:
    EditSession &m_edits;
    MessageBoxService &m_messages;

    QComboBox *comboSourceMap = nullptr;
    std::array<QCheckBox *, MapCount> m_targets{};
    QPushButton *buttonCopy = nullptr;
    QPushButton *CancelButton = nullptr;
};
