#pragma once
// Makes every class of the toolkit known to stored layouts by its name: buttons, bitmap
// buttons, check boxes, group boxes, labels, edits, list boxes, up-downs, images, image lists,
// timers, menus and the open dialog. Calling it again does nothing.
void RegisterWidgetClasses();
