#include "app/Controls.h"

namespace sayvane {

std::vector<std::pair<std::string_view, Control*>> Controls::named() {
  return {{"Frame2", &Frame2},     {"List2", &List2},       {"Text3", &Text3},       {"Command2", &Command2},
          {"Command3", &Command3}, {"SREngines", &SREngines}, {"Command5", &Command5}, {"Label5", &Label5},
          {"Frame1", &Frame1},     {"List1", &List1},       {"Text1", &Text1},       {"Text2", &Text2},
          {"Command1", &Command1}, {"Command4", &Command4}, {"Image2", &Image2},     {"Image3", &Image3},
          {"Image4", &Image4},     {"Image5", &Image5},     {"Command6", &Command6}, {"Text4", &Text4},
          {"Image1", &Image1},     {"Command7", &Command7}, {"Check1", &Check1},     {"Timer1", &Timer1}};
}

Control* Controls::find(std::string_view name) {
  for (auto& [controlName, control] : named())
    if (controlName == name) return control;
  return nullptr;
}

Controls initialControls() {
  Controls c;
  c.List2.label = u"语音命令集列表：";
  c.Text3.label = u"新的游戏名字：";
  c.Command2.caption = u"添加";
  c.Command3.caption = u"删除选中的语音命令集";
  c.Command5.caption = u"更改为选中的语音命令";
  c.List1.label = u"已经添加的语音命令：";
  c.Text1.label = u"发音词汇：(添加你想读的中文词汇)";
  c.Text2.label = u"对应的操作：(控制鼠标,键盘,光驱；打开程序,文件和网址；输入文字等操作)";
  c.Command1.caption = u"添加";
  c.Command4.caption = u"删除选中的语音命令";
  c.Command6.caption = u"开始测试语音命令";
  c.Text4.visible = false;
  c.Command7.caption = u"软件帮助";
  c.Check1.caption = u"关闭打开时的提示框";
  c.Timer1.visible = false;  // running: `enabled`
  return c;
}

}  // namespace sayvane
