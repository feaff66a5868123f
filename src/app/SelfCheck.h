#pragma once
// quillmark --self-check: proves that an installed program finds its data.

// Opens the template chooser on the template library and the help window
// on the chooser's page, looks for the texture folder, prints one line per
// item ("templates: PATH, N templates", "help: PATH, N pages",
// "textures: PATH, N files" or "textures: missing") and returns 0 when the
// templates and the help were found, 1 otherwise.
int SelfCheck();
