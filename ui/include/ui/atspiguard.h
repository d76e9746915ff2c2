#pragma once
// Keeps requests over the accessibility bus (AT-SPI) from stopping the
// window. Qt 6.4's bridge answers a text's GetRangeExtents(start, end) by
// asking for the rectangle of every offset from start to end, whatever the
// text's length: GetRangeExtents(0, 2147483647) would keep the window busy
// for hours. The guard stands in front of the bridge on the accessibility
// bus and cuts both offsets to the text before the bridge sees them; every
// other request passes to the bridge unchanged.

// Call once, after the application object is made and before its event
// loop runs: the guard takes its place when the bridge comes up.
void installAtSpiGuard();
