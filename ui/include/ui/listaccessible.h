#pragma once
// A drop-down list that a screen reader names by its label and reads by its
// current item.
class QComboBox;

// Qt 6.4 gives a list (non-editable QComboBox) on Linux its current text as
// its name and no text: a reader that names the list by its label (Orca
// reads the label, the role, then the text) then never speaks the current
// item. `list` gets an interface that answers its current text as its text
// as well; children, relations (its buddy label) and actions are as Qt's.
// Call it before anything asks for the list's interface (Qt keeps the first
// one made).
void makeListReadable(QComboBox* list);
