// Shell commands and text written to standard output and standard error.
#include "platform/shell_commands.h"

#include <cstdio>

#include "frame/system_calls.h"
#include "video/screen.h"

void WriteStdout(const BasicString& text) { printf("%s", text.c_str()); }

void WriteStderr(const BasicString& text) { fputs(text.c_str(), stderr); }

float ShellCommand(BasicString& command, float wait, float& result) {
    const int32_t was_fullscreen = IsFullscreen();
    SetFullscreenFlag(0);
    if (wait == 0.0f) command.Append(" &");
    result = static_cast<float>(System().run_shell(command.c_str()));
    if (was_fullscreen != 0) SetFullscreenFlag(1);
    return 1.0f;
}
