// OpenGL driver description and extension entry points.
#pragma once

bool LoadGLExtensions();  // needs a current context; prints the driver description
