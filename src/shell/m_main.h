#pragma once

#include "printing/n_printer.h"
#include "runtime/menu.h"

// The frame's menu; its items with a toolbar picture make the frame's toolbar.
class m_main : public rt::Menu {
 public:
  RT_CLASS(m_main)

  // 系统管理(&S)
  struct m_工具栏设置b_t : rt::MenuItem {
    RT_CLASS(m_工具栏设置b)
    m_工具栏设置b_t();
    void clicked() override;
  };
  struct m_separator_t : rt::MenuItem {
    RT_CLASS(m_ -)
    m_separator_t() { text = "-"; }
  };
  struct m_重新登录_t : rt::MenuItem {
    RT_CLASS(m_重新登录)
    m_重新登录_t();
    void clicked() override;
  };
  struct m_退出系统_t : rt::MenuItem {
    RT_CLASS(m_退出系统)
    m_退出系统_t();
    void clicked() override;
  };
  struct m_file_t : rt::MenuItem {
    RT_CLASS(m_file)
    m_file_t() { text = "系统管理(&S)"; }
    void create() override;
    rt::Ref<m_工具栏设置b_t> m_工具栏设置b;
    rt::Ref<m_separator_t> m__34;
    rt::Ref<m_重新登录_t> m_重新登录;
    rt::Ref<m_separator_t> m__2;
    rt::Ref<m_退出系统_t> m_退出系统;
  };

  // 项目设置 / 高中
  struct m_高一_t : rt::MenuItem {
    RT_CLASS(m_高一)
    m_高一_t();
    void clicked() override;
  };
  struct m_高二_t : rt::MenuItem {
    RT_CLASS(m_高二)
    m_高二_t();
    void clicked() override;
  };
  struct m_高三_t : rt::MenuItem {
    RT_CLASS(m_高三)
    m_高三_t();
    void clicked() override;
  };
  struct m_初中0_t : rt::MenuItem {
    RT_CLASS(m_初中0)
    m_初中0_t() { text = "高中"; }
    void create() override;
    rt::Ref<m_高一_t> m_高一;
    rt::Ref<m_高二_t> m_高二;
    rt::Ref<m_高三_t> m_高三;
  };
  struct m_项目设置_t : rt::MenuItem {
    RT_CLASS(m_项目设置)
    m_项目设置_t() { text = "项目设置"; }
    void create() override;
    rt::Ref<m_初中0_t> m_初中0;
  };

  // 成绩计算 / 高中
  struct m_1_t : rt::MenuItem {
    RT_CLASS(m_1)
    m_1_t();
    void clicked() override;
  };
  struct m_2_t : rt::MenuItem {
    RT_CLASS(m_2)
    m_2_t();
    void clicked() override;
  };
  struct m_3_t : rt::MenuItem {
    RT_CLASS(m_3)
    m_3_t();
    void clicked() override;
  };
  struct m_毕业成绩_t : rt::MenuItem {
    RT_CLASS(m_毕业成绩)
    m_毕业成绩_t();
    void clicked() override;
  };
  struct m_高中_t : rt::MenuItem {
    RT_CLASS(m_高中)
    m_高中_t() { text = "高中"; }
    void create() override;
    rt::Ref<m_1_t> m_1;
    rt::Ref<m_2_t> m_2;
    rt::Ref<m_3_t> m_3;
    rt::Ref<m_separator_t> m__8;
    rt::Ref<m_毕业成绩_t> m_毕业成绩;
  };
  struct m_成绩计算_t : rt::MenuItem {
    RT_CLASS(m_成绩计算)
    m_成绩计算_t() { text = "成绩计算"; }
    void create() override;
    rt::Ref<m_高中_t> m_高中;
  };

  // 工具
  struct m_计算器_t : rt::MenuItem {
    RT_CLASS(m_计算器)
    m_计算器_t();
    void clicked() override;
  };
  struct m_工具_t : rt::MenuItem {
    RT_CLASS(m_工具)
    m_工具_t() { text = "工具"; }
    void create() override;
    rt::Ref<m_计算器_t> m_计算器;
  };

  // 导航
  struct m_导航_t : rt::MenuItem {
    RT_CLASS(m_导航)
    m_导航_t() { text = "导航"; }
    void clicked() override;
  };

  // 帮助
  struct m_关于_t : rt::MenuItem {
    RT_CLASS(m_关于)
    m_关于_t() { text = "技术支持"; }
    void clicked() override;
  };
  struct m_帮助_t : rt::MenuItem {
    RT_CLASS(m_帮助)
    m_帮助_t() { text = "帮助"; }
    void create() override;
    rt::Ref<m_关于_t> m_关于;
  };

  // The version, greyed on the menu bar.
  struct m_0_t : rt::MenuItem {
    RT_CLASS(m_0)
    m_0_t() {
      text = "Version 3.0 Build 0101";
      enabled = false;
    }
  };

  rt::Ref<m_file_t> m_file;
  rt::Ref<m_项目设置_t> m_项目设置;
  rt::Ref<m_成绩计算_t> m_成绩计算;
  rt::Ref<m_工具_t> m_工具;
  rt::Ref<m_导航_t> m_导航;
  rt::Ref<m_帮助_t> m_帮助;
  rt::Ref<m_0_t> m_0;

  // The printer services, declared here and never created.
  rt::Ref<n_printer> lnv_printer;

  void create() override;
};
