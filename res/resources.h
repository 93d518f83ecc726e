// The program's embedded pictures (sprite sheet and icon). The resource file
// lives in a static library, so it must be registered before first use.
#pragma once

void InitOmbrixResources();
