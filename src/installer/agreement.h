// agreement: the terms-of-use box (window 1) shown when INSTALL is pressed.
// Called by the installer screen; once agreed, later installs of the run skip the box.
#pragma once

// 1 when the user has agreed (now or earlier in this run), 0 when declined or closed.
[[nodiscard]] int handle_EULA();
