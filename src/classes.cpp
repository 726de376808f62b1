#include "classes.h"

#include "calculator/w_4.h"
#include "runtime/window.h"
#include "scoring/w_jsq_by.h"
#include "scoring/w_jsq_gz1.h"
#include "scoring/w_jsq_gz2.h"
#include "scoring/w_jsq_gz3.h"
#include "settings/w_xm_gz_grades.h"
#include "shell/w_about.h"
#include "shell/w_flash.h"
#include "shell/w_main1.h"
#include "shell/w_pwd.h"
#include "ui/w_genapp_toolbars.h"

void registerClasses() {
  rt::registerWindow<w_flash>();
  rt::registerWindow<w_pwd>();
  rt::registerWindow<w_main1>();
  rt::registerWindow<w_about>();
  rt::registerWindow<w_4>();
  rt::registerWindow<w_genapp_toolbars>();
  rt::registerWindow<w_xm_gz1>();
  rt::registerWindow<w_xm_gz2>();
  rt::registerWindow<w_xm_gz3>();
  rt::registerWindow<w_jsq_gz1>();
  rt::registerWindow<w_jsq_gz2>();
  rt::registerWindow<w_jsq_gz3>();
  rt::registerWindow<w_jsq_by>();
}
