#pragma once
// Makes every label object class creatable by name (label files, tools).
void RegisterLabelClasses();
