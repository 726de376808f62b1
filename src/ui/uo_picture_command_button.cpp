#include "ui/uo_picture_command_button.h"

#include "platform/user32.h"
#include "runtime/event.h"
#include "runtime/strings.h"
#include "runtime/units.h"
#include "runtime/window.h"

uo_picture_command_button::uo_picture_command_button() {
  width = 329;
  height = 100;
  backcolor = rt::Color::buttonFace();
}

uo_picture_command_button::uo_bitmap_t::uo_bitmap_t() {
  x = 5;
  width = 69;
  height = 60;
  enabled = false;
  facename = "宋体";
  textsize = -9;
  weight = 400;
  fontcharset = 134;
  taborder = 20;
}

uo_picture_command_button::command_button_t::command_button_t() {
  width = 329;
  height = 100;
  facename = "宋体";
  textsize = -9;
  weight = 400;
  fontcharset = 134;
  taborder = 10;
}

uo_picture_command_button& uo_picture_command_button::command_button_t::owner() const {
  auto* object = dynamic_cast<uo_picture_command_button*>(holder());
  if (!object || !object->isValid()) throw rt::NullObjectError();
  return *object;
}

void uo_picture_command_button::create() {
  uo_bitmap = insertChild<uo_bitmap_t>();
  command_button = insertChild<command_button_t>();
}

// ---- constructor

void uo_picture_command_button::constructor() {
  command_button->x = 0;
  command_button->y = 0;
  uo_bitmap->x = 0;
  uo_bitmap->y = 0;
  command_button->cancel = cancel;
  command_button->default_ = default_;
  if (buttonwidth == 0 || buttonheight == 0) {
    buttonwidth = rt::units::toPixelsX(width);
    buttonheight = rt::units::toPixelsY(height);
  }
  of_setresize(buttonwidth, buttonheight);
  of_setproperties();
}

void uo_picture_command_button::of_setresize(int is_width, int is_height) {
  command_button->resizeTo(rt::units::toUnitsX(is_width), rt::units::toUnitsY(is_height));
  command_button->resize(0, width, height);
}

// The picture's rest position, from the size the event reports.
void uo_picture_command_button::command_button_t::resize(unsigned long, int newwidth, int newheight) {
  const double w = newwidth, h = newheight;
  const int px = static_cast<int>((w - w / 3.75) / 8);
  const int py = static_cast<int>((h - h / 1.75) / 2);
  uo_picture_command_button& parent = owner();
  parent.uo_bitmap->x = px;
  parent.uo_bitmap->y = py;
  parent.il_picx = parent.uo_bitmap->x;
  parent.il_picy = parent.uo_bitmap->y;
}

void uo_picture_command_button::of_setproperties() {
  const bool picture =
      !rt::trim(bitmapname).empty() && (rt::endsWith(bitmapname, "gif") || rt::endsWith(bitmapname, "bmp") ||
                                        rt::endsWith(bitmapname, "jpg") || rt::endsWith(bitmapname, "!"));
  if (picture) {
    command_button->text = "   " + buttontext;
    uo_bitmap->reset();
    uo_bitmap->setredraw(false);
    const int index = uo_bitmap->addpicture(bitmapname);
    const int item = uo_bitmap->additem("", index);
    uo_bitmap->selectitem(item);
    uo_bitmap->selectitem(0);
    uo_bitmap->setredraw(true);
  } else {
    uo_bitmap->visible = false;
    command_button->text = buttontext;
  }
  command_button->facename = "宋体";
  command_button->textsize = 12;
  if (!enabled) command_button->enabled = false;
}

void uo_picture_command_button::of_setenabled(bool is_enabled) { command_button->enabled = is_enabled; }

void uo_picture_command_button::of_releasemouse() {}

void uo_picture_command_button::keybd_event(int bvk, int bscan, unsigned long dwflags, unsigned long dwextrainfo) {
  platform::keybd_event(bvk, bscan, dwflags, dwextrainfo);
}

long uo_picture_command_button::clicked(unsigned long, int, int) { return 0; }

// ---- the look of a pressed button: the picture shifted 3 right and 3 down

long uo_picture_command_button::command_button_t::lbuttondown(unsigned long, int, int) {
  uo_picture_command_button& parent = owner();
  parent.lb_inbounds = true;
  parent.uo_bitmap->move(parent.il_picx + 3, parent.il_picy + 3);
  return 0;
}

long uo_picture_command_button::command_button_t::lbuttonup(unsigned long, int, int) {
  uo_picture_command_button& parent = owner();
  parent.lb_inbounds = false;
  parent.uo_bitmap->move(parent.il_picx, parent.il_picy);
  return 0;
}

long uo_picture_command_button::command_button_t::mousemove(unsigned long, int xpos, int ypos) {
  uo_picture_command_button& parent = owner();
  if (parent.lb_keyboard) return 0;
  const bool inside = xpos >= x && ypos >= y && xpos <= width - 0.1 && ypos <= height - 0.1;
  if (inside && rt::leftButtonDown() && parent.lb_inbounds)
    parent.uo_bitmap->move(parent.il_picx + 3, parent.il_picy + 3);
  else
    parent.uo_bitmap->move(parent.il_picx, parent.il_picy);
  return 0;
}

long uo_picture_command_button::command_button_t::keydown(int key, unsigned long) {
  uo_picture_command_button& parent = owner();
  switch (key) {
    case 32:  // Space
      if (!parent.lb_inbounds) {
        parent.lb_keyboard = true;
        parent.uo_bitmap->move(parent.il_picx + 3, parent.il_picy + 3);
      }
      break;
    case 40:  // Down
    case 39:  // Right: on to the next control, as Tab
      keybd_event(9, 0, 0, 0);
      keybd_event(9, 0, 2, 0);
      break;
    case 38:  // Up
    case 37:  // Left: back to the previous one, as Shift+Tab
      keybd_event(16, 0, 0, 0);
      keybd_event(9, 0, 0, 0);
      keybd_event(9, 0, 2, 0);
      keybd_event(16, 0, 2, 0);
      break;
    case 13:  // Enter
      click();
      break;
    default: break;
  }
  return 0;
}

long uo_picture_command_button::command_button_t::keyup(int key, unsigned long) {
  if (key == 32) {
    uo_picture_command_button& parent = owner();
    parent.lb_keyboard = false;
    parent.uo_bitmap->move(parent.il_picx, parent.il_picy);
  }
  return 0;
}

// Space held while the focus leaves (an arrow key meanwhile) would leave the button pressed
// for good, its release going to another control: leaving lets go of it.
void uo_picture_command_button::command_button_t::losefocus() {
  uo_picture_command_button& parent = owner();
  if (!parent.lb_keyboard) return;
  parent.lb_keyboard = false;
  parent.uo_bitmap->move(parent.il_picx, parent.il_picy);
}

// Every click reaches the client through the event queue, after this event has ended.
void uo_picture_command_button::command_button_t::clicked() {
  uo_picture_command_button& parent = owner();
  rt::Ref<uo_picture_command_button> object = rt::refTo(parent);
  rt::post([object] {
    if (object) rt::dispatchEvent(*object, "clicked", [object] { object->clicked(0, 0, 0); });
  });
  parent.of_releasemouse();
}
