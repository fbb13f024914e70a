// The help document for the clerks of reporting units and of the collecting
// office: one section per task, in the order of the year's work.
#include <array>
#include <string_view>

#include "office/xml_escape.h"
#include "templates/report_docx_xml.h"
#include "templates/report_template.h"

namespace zorbix::templates {
namespace {

struct Section {
    std::string_view heading;
    std::initializer_list<std::string_view> paragraphs;
};

const std::array<Section, 9> kSections = {{
    {"一、系统简介",
     {"本系统用于填报、审核、打印、交换和汇总Qorvath省科技计划项目执行情况年度调查数据（2013年度）"
      "。"
      "每个被调查项目是一条项目记录，包括封面和表一至表四。",
      "项目承担单位用本系统录入本单位的项目，审核无误后通过数据文件（*.kj）上报，或打印报表；"
      "汇总单位用本系统追加各单位上报的数据、审核全部项目、生成汇总表并与计划项目清单核对。"}},
    {"二、安装与启动",
     {"把系统的全部文件复制到一个文件夹（安装目录），例如“D:\\科技统计2013”。安装目录中应有主程序、"
      "报表模板文件“2013模板.docx”和本帮助文件；汇总单位还需要各汇总表模板（*.xlsx）和计划项目清单"
      "“2013计划.xlsx”。",
      "双击主程序即可启动。项目数据保存在安装目录的数据库文件“zorbix2013."
      "db”中，请定期复制备份该文件。"
      "同一安装目录同时只能运行一个本系统。",
      "打印报表需要LibreOffice和打印机：Windows下请安装LibreOffice并设置默认打印机；Linux下请安装"
      "LibreOffice（软件包libreoffice-writer）和CUPS打印系统（软件包cups），并设置默认打印机。"}},
    {"三、录入项目",
     {"在启动画面点击“数据录入/修改”进入项目清单。点击“项目添加”，输入12位项目编号（与计划下达的"
      "编号一致），系统打开封面页。",
      "逐项填写各页内容：按回车键移到下一项；数字项只能输入数字；带代码的项目（如单位性质、计划类别"
      "、"
      "技术领域）请从弹出的代码列表中选择，不要自行输入。填报时间的格式为“2013-12-20”，"
      "鉴定（验收）时间的格式为“2013-06”。",
      "用“上一页”“下一页”在封面和表一至表四之间翻页。离开表页时系统自动审核该表，发现问题时会提示，"
      "请改正后再翻页。填完后点击“关  闭”回到项目清单，点击“结束编辑”保存。",
      "在标题栏的定位框中输入项目编号可以快速找到项目；“项目删除”删除当前项目（需要确认）。"}},
    {"四、审核数据",
     {"在项目清单中点击“项目审核”审核当前项目，点击启动画面的“数据审核”审核全部项目。审核结果显示在"
      "项目清单下方的结果框中，每条问题都写明项目编号和出错的指标。",
      "请按提示逐条改正后重新审核，直到没有问题为止。点击“保存结果”可以把审核结果保存为文本文件，"
      "便于打印或转交。"}},
    {"五、数据交换（上报与追加）",
     {"项目承担单位：在项目清单中点击“项目上报”可把当前项目写入一个数据文件；在启动画面点击“提交数"
      "据”"
      "可把全部项目写入一个数据文件。在弹出的对话框中选择保存位置和文件名（扩展名为.kj），"
      "然后把该文件交给主管部门。",
      "汇总单位：点击“追加数据”，选择收到的数据文件，系统把其中的项目追加到数据库。已有相同项目编号"
      "的"
      "项目不会重复追加，系统会逐一提示。“项目下发”为每个项目生成一个以项目编号命名的数据文件。"}},
    {"六、生成和打印报表",
     {"在项目清单中点击“报表生成”，系统按报表模板生成当前项目的报表，保存在安装目录中，文件名为"
      "“项目编号.docx”（例如“201300000001.docx”）。再次生成会覆盖原来的报表。",
      "在启动画面点击“报表生成”可一次生成全部项目的报表，项目较多时需要一些时间，请耐心等待。"
      "个别项目生成失败时系统会提示，其余项目继续生成。",
      "点击“报表打印”在默认打印机上打印当前项目已生成的报表；如提示“报表文件没有找到”，请先生成报表"
      "。"
      "报表可以用WPS、Microsoft Word或LibreOffice打开查看和调整格式。"}},
    {"七、汇总（汇总单位）",
     {"点击启动画面的“汇  "
      "总”，系统对全部项目进行汇总，在安装目录中生成十二张汇总表，文件名为模板名加"
      "“_2013”（例如“人才培养情况_2013.xlsx”）。汇总前请先审核全部数据。",
      "汇总表模板不在安装目录中时，启动画面不显示“汇  总”和“未报项目核对”按钮。"}},
    {"八、未报项目核对（汇总单位）",
     {"核对使用安装目录中的计划项目清单“2013计划.xlsx”；没有该文件时使用“2013计划.xls”。"
      "系统只读取工作簿的第一张工作表。",
      "工作表的格式：第1行为标题行，从第2行起每行一个计划项目，中间不留空行（第2列为空的第一行"
      "表示清单结束，其后的行不再读取）；第2列为项目编号；第3、4、5列为项目名称、承担单位等说明"
      "文字，原样写入核对结果；第6列为计划的省科技拨款金额，单位为万元。第1列和第6列以后的列不"
      "读取，可以填写序号或备注。只有标题行、没有计划项目的清单也可以核对，此时全部已上报项目都"
      "列为错报。",
      "点击“未报项目核对”，系统按项目编号的数值从小到大比较计划清单与已上报的项目（编号前面的0"
      "不影响比较），核对结果显示在结果框中：第一行为标题，第二行为计划项目总数和上报项目数，"
      "其后每行一个问题，前面是序号。",
      "“漏报”：计划中有、但没有上报的项目，列出计划清单中的项目编号和第3至5列的文字。"
      "“错报”：已上报、但不在计划中的项目，列出项目编号、项目名称、承担单位和主管部门。"
      "“金额错误”：计划中有也已上报，但表二“省科技拨款”的当年数（千元）除以10后与计划金额（万元）"
      "相差超过0.01万元的项目，列出项目编号、项目名称和承担单位。",
      "计划文件不是Excel工作簿、第一张工作表的第1行为空，或第2列中有不是项目编号的内容（例如合计"
      "行）时，系统提示原因，不进行核对。"}},
    {"九、常见问题",
     {"提示“未找到报表模板文件”：请把报表模板文件“2013模板.docx”复制到安装目录。",
      "打印时提示没有默认打印机或打印服务没有运行：请在系统的打印机设置中添加打印机并设为默认打印机"
      "。",
      "提示“项目编号……不能用作文件名”：项目编号中含有不能用于文件名的字符，请先改正项目编号。",
      "其他问题请记下提示的原文，与主管部门联系。"}},
}};

}  // namespace

std::string HelpDocumentBody() {
    const Font title{36, true, true};
    const Font heading{26, true, true};
    const Font text{22};
    std::string body = Paragraph(Run("Qorvath省科技计划项目执行情况年度调查系统", title),
                                 {Align::Center, title, 600, 120});
    body += Paragraph(Run("使用说明", Font{32, true, true}),
                      {Align::Center, Font{32, true, true}, 0, 480});
    for (const Section& section : kSections) {
        ParaStyle h{Align::Left, heading, 240, 120};
        h.keep_next = true;
        body += Paragraph(Run(section.heading, heading), h);
        for (std::string_view p : section.paragraphs) {
            ParaStyle style{Align::Both, text, 0, 100};
            style.first_line = 440;
            body += Paragraph(Run(p, text), style);
        }
    }
    return body;
}

std::string HelpDocumentPage() {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Qorvath省科技计划项目执行情况年度调查系统使用说明</title>\n"
        "<style>body{font-family:\"Noto Sans CJK SC\",\"WenQuanYi Micro Hei\",sans-serif;"
        "max-width:46em;margin:2em auto;padding:0 1em;line-height:1.7}"
        "h1,h2{text-align:center}p{text-indent:2em;text-align:justify}</style>\n</head>\n<body>\n"
        "<h1>Qorvath省科技计划项目执行情况年度调查系统</h1>\n<h2>使用说明</h2>\n";
    for (const Section& section : kSections) {
        page += "<h3>" + office::XmlEscaped(section.heading) + "</h3>\n";
        for (std::string_view p : section.paragraphs)
            page += "<p>" + office::XmlEscaped(p) + "</p>\n";
    }
    return page + "</body>\n</html>\n";
}

}  // namespace zorbix::templates
