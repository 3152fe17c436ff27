#include "browser/DriveSource.h"

DriveSource::~DriveSource() = default;
