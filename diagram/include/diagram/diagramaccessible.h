#pragma once
// What a screen reader reads of the level diagram: besides its name and
// description, one list per label column shown ("dBu scale"), its items the
// label texts as painted, and one static text per overlay text, each with
// the rectangle it was painted in. Built on demand from the last paint's
// layout, so a paint does no extra work.

// Installs the accessibility factory for TLevelDiagram (once).
void installDiagramAccessibility();
