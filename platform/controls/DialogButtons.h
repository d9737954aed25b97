#pragma once

class QDialog;

// Makes Enter press the push button that has the focus in the dialog, whichever
// button is its default and whether or not the button takes Enter by itself. With the
// focus anywhere else Enter goes to the default button as before, so a dialog without
// one (whose Enter belongs to a tree) keeps having none.
void enterPressesFocusedButton(QDialog *dialog);
