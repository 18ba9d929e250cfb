#pragma once

#include "app/TRecoveryStore.h"

#include <QDialog>

#include <vector>

// The start-up offer of recovery copies: one line a copy (file name, time, pane) and the
// answers Recover, Discard and Later. Closing the dialog is Later: nothing is lost by it.
class TRecoveryDialog : public QDialog
{
    Q_OBJECT
public:
    enum TAnswer { Later = QDialog::Rejected, Recover = 100, Discard = 101 };

    explicit TRecoveryDialog(const std::vector<TRecoveryCopy> &copies, QWidget *parent = nullptr);
};
