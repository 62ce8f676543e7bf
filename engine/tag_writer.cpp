// Interim: tag writing arrives with the media-information work.
#include "tag_writer.h"

EngineResult WriteFileTags(const char*, const MediaInfo&, WindowsMediaBackend*) { return kErrTagsUnsupported; }
