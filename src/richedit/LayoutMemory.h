#pragma once

// Sets the allocator up for the text layout. Qt lays a paragraph out whole, with tables of
// some 40 bytes a character, and frees and rebuilds them after every edit of the paragraph.
// Handed back to the system and taken again, that memory costs a page fault per page each time,
// which for a paragraph of megabytes is most of the layout's time. Kept by the process instead,
// it is reused. Call once at start-up, before the application object exists.
void KeepLayoutMemory();
