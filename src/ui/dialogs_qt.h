// Message boxes and file dialogs on QMessageBox and QFileDialog.
#pragma once
#include "ui/dialogs.h"

#include <memory>

std::unique_ptr<Dialogs> makeQtDialogs();
