// Picture loading.
#include "video/image_files.h"

#include "files/pack_source.h"

int32_t LoadBackgroundImage(const BasicString& name) {
    BasicString resolved;
    if (!RequestFile(*g_general_pack, name, resolved, 1)) return 0;
    // NOTE: decoding BMP and PNG pictures comes with the image readers; until then nothing is loaded.
    return 0;
}
