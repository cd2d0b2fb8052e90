#pragma once
// How the C library's heap serves the OpenGL driver while frames run.

// Asks the C library to serve large blocks from its heap and to keep freed heap memory,
// rather than mapping fresh pages for each large block and handing them back on free.
// Mesa's immediate mode gives its vertex buffer (512 KiB, page-aligned) a new block every
// frame or two; glibc maps each one anew, as its adaptive threshold never reaches the
// padded size of an aligned request, and the frame then pays about 130 page faults to
// zero it. The bindings on Mesa call it before they make a rendering context.
void keepLargeBlocksOnTheHeap();
