#pragma once

// Call first in main(), before any thread starts. Conversions and previews decode and encode
// large images on worker threads; glibc gives each thread its own malloc arena, and an arena
// keeps much of what a finished file freed, so a job held about half an image more than it used.
// One shared arena lets the next file reuse that memory. Elsewhere this does nothing.
void shareOneMallocArena();
