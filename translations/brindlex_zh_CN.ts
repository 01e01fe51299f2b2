<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Brindlex</name>
    <message>
        <source>Name a command: export, convert or view.</source>
        <translation>请指定命令：export、convert 或 view。</translation>
    </message>
    <message>
        <source>Unknown command &apos;%1&apos;.</source>
        <translation>未知命令“%1”。</translation>
    </message>
    <message>
        <source>Invalid arguments</source>
        <translation>参数无效</translation>
    </message>
    <message>
        <source>usage: brindlex [DOCUMENT]   (the desktop window)
       brindlex export DOCUMENT [options]
       brindlex convert DOCUMENT OUTPUT.pdf [--overwrite]   (writer documents)
       brindlex view PICTURE

</source>
        <translation>用法：brindlex [文档]   （桌面窗口）
      brindlex export 文档 [选项]
      brindlex convert 文档 输出.pdf [--overwrite]   （文字文档）
      brindlex view 图片

</translation>
    </message>
    <message>
        <source>Cannot show a window</source>
        <translation>无法显示窗口</translation>
    </message>
    <message>
        <source>There is no display (DISPLAY and WAYLAND_DISPLAY are unset).</source>
        <translation>没有可用的显示（DISPLAY 和 WAYLAND_DISPLAY 均未设置）。</translation>
    </message>
</context>
<context>
    <name>KCommandReport</name>
    <message>
        <source>cannot be read</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <source>is a named pipe, not a document</source>
        <translation>是命名管道，不是文档</translation>
    </message>
    <message>
        <source>is a device, not a document</source>
        <translation>是设备，不是文档</translation>
    </message>
    <message>
        <source>is a socket, not a document</source>
        <translation>是套接字，不是文档</translation>
    </message>
    <message>
        <source>is not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>警告：%1</translation>
    </message>
    <message>
        <source>Invalid arguments</source>
        <translation>参数无效</translation>
    </message>
    <message>
        <source>%1: no such file</source>
        <translation>%1：文件不存在</translation>
    </message>
    <message>
        <source>%1: is a folder, not a document</source>
        <translation>%1：是文件夹，不是文档</translation>
    </message>
</context>
<context>
    <name>KConvertCommand</name>
    <message>
        <source>Convert failed</source>
        <translation>转换失败</translation>
    </message>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>未知选项“%1”。</translation>
    </message>
    <message>
        <source>Name one document and one output file.</source>
        <translation>请指定一个文档和一个输出文件。</translation>
    </message>
    <message>
        <source>The output is the document itself; choose another file</source>
        <translation>输出文件就是文档本身，请选择其他文件</translation>
    </message>
    <message>
        <source>The file already exists; --overwrite replaces it</source>
        <translation>文件已存在；使用 --overwrite 可替换它</translation>
    </message>
    <message>
        <source>%1: cannot be written</source>
        <translation>%1：无法写入</translation>
    </message>
    <message>
        <source>no permission to write in it</source>
        <translation>没有写入权限</translation>
    </message>
    <message>
        <source>no such folder</source>
        <translation>文件夹不存在</translation>
    </message>
    <message>
        <source>Usage: brindlex convert DOCUMENT OUTPUT.pdf [--overwrite] [--json]
Prints a writer document (text, Markdown, HTML, office text) to PDF.
</source>
        <translation>用法：brindlex convert 文档 输出.pdf [--overwrite] [--json]
将文字文档（纯文本、Markdown、HTML、Office 文字文档）输出为 PDF。
</translation>
    </message>
    <message>
        <source>: not a writer document</source>
        <translation>：不是文字文档</translation>
    </message>
</context>
<context>
    <name>KDesktopCommand</name>
    <message>
        <source>Cannot open the document</source>
        <translation>无法打开文档</translation>
    </message>
</context>
<context>
    <name>KDesktopWindow</name>
    <message>
        <source>Brindlex</source>
        <translation>Brindlex</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>最近打开(&amp;R)</translation>
    </message>
    <message>
        <source>Save &amp;As</source>
        <translation>另存为(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>放大(&amp;I)</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>缩小(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Fit Width</source>
        <translation>适合宽度(&amp;F)</translation>
    </message>
    <message>
        <source>Ribbon</source>
        <translation>功能区</translation>
    </message>
    <message>
        <source>Open a document with File &gt; Open (Ctrl+O), or drop one here.</source>
        <translation>请通过“文件 &gt; 打开”（Ctrl+O）打开文档，或将文档拖放到此处。</translation>
    </message>
    <message>
        <source>Cannot start another window for %1.</source>
        <translation>无法为 %1 启动新窗口。</translation>
    </message>
    <message>
        <source>%1: the host cannot open this kind of document</source>
        <translation>%1：无法打开此类文档</translation>
    </message>
    <message>
        <source>%1: no such file</source>
        <translation>%1：文件不存在</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>%1 - Brindlex</source>
        <translation>%1 - Brindlex</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>第 %1 页，共 %2 页</translation>
    </message>
    <message>
        <source>No pages</source>
        <translation>没有页面</translation>
    </message>
    <message>
        <source>The add-on offers no export entry.</source>
        <translation>加载项未提供导出入口。</translation>
    </message>
    <message>
        <source>Documents (*.pdf *.txt *.text *.md *.markdown *.html *.htm *.odt *.docx *.doc *.rtf *.odp *.pptx *.ppt *.csv *.tsv *.ods *.xlsx *.xls);;All files (*)</source>
        <translation>文档 (*.pdf *.txt *.text *.md *.markdown *.html *.htm *.odt *.docx *.doc *.rtf *.odp *.pptx *.ppt *.csv *.tsv *.ods *.xlsx *.xls);;所有文件 (*)</translation>
    </message>
    <message>
        <source>Open Document</source>
        <translation>打开文档</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>开始</translation>
    </message>
</context>
<context>
    <name>KDocumentLoader</name>
    <message>
        <source>%1: the converted document cannot be read (%2)</source>
        <translation>%1：无法读取转换后的文档（%2）</translation>
    </message>
    <message>
        <source>%1: the host cannot open this kind of document</source>
        <translation>%1：无法打开此类文档</translation>
    </message>
    <message>
        <source>%1: no such file</source>
        <translation>%1：文件不存在</translation>
    </message>
    <message>
        <source>%1: opening was cancelled</source>
        <translation>%1：已取消打开</translation>
    </message>
</context>
<context>
    <name>KExportCommand</name>
    <message>
        <source>Exporting: page %1 of %2</source>
        <translation>正在导出：第 %1/%2 页</translation>
    </message>
    <message>
        <source>Picture format (png).</source>
        <translation>图片格式（默认 png）。</translation>
    </message>
    <message>
        <source>Resolution in percent of 96 dots per inch (100).</source>
        <translation>分辨率，以 96 点/英寸的百分比表示（默认 100）。</translation>
    </message>
    <message>
        <source>Pages to export, such as &quot;1,3,5-10&quot; (all).</source>
        <translation>要导出的页码，例如“1,3,5-10”（默认全部）。</translation>
    </message>
    <message>
        <source>Long picture: its path. Otherwise: the folder that receives the numbered folder.</source>
        <translation>长图：图片的路径。逐页输出：存放编号文件夹的文件夹。</translation>
    </message>
    <message>
        <source>Watermark (none).</source>
        <translation>水印（默认 none）。</translation>
    </message>
    <message>
        <source>Text of a custom watermark.</source>
        <translation>自定义水印的文字。</translation>
    </message>
    <message>
        <source>Shape of a custom watermark.</source>
        <translation>自定义水印的样式。</translation>
    </message>
    <message>
        <source>Colour of a custom watermark.</source>
        <translation>自定义水印的颜色。</translation>
    </message>
    <message>
        <source>Opacity of a custom watermark.</source>
        <translation>自定义水印的透明度。</translation>
    </message>
    <message>
        <source>Rotation of a custom watermark in degrees.</source>
        <translation>自定义水印的旋转角度（度）。</translation>
    </message>
    <message>
        <source>Size of a custom watermark.</source>
        <translation>自定义水印的大小。</translation>
    </message>
    <message>
        <source>Repeat the watermark over the picture.</source>
        <translation>在整张图片上平铺水印。</translation>
    </message>
    <message>
        <source>White band above the first page, pixels at 100 percent.</source>
        <translation>首页上方的空白，按 100% 品质计的像素数。</translation>
    </message>
    <message>
        <source>White band below the last page, pixels at 100 percent.</source>
        <translation>末页下方的空白，按 100% 品质计的像素数。</translation>
    </message>
    <message>
        <source>White gap between pages, pixels at 100 percent.</source>
        <translation>页与页之间的空白，按 100% 品质计的像素数。</translation>
    </message>
    <message>
        <source>The document to export.</source>
        <translation>要导出的文档。</translation>
    </message>
    <message>
        <source>One long picture (default except for PDF).</source>
        <translation>输出为一张长图（PDF 以外的默认方式）。</translation>
    </message>
    <message>
        <source>One picture per page (default for PDF).</source>
        <translation>逐页输出，每页一张图片（PDF 的默认方式）。</translation>
    </message>
    <message>
        <source>Replace an existing long picture.</source>
        <translation>替换已存在的长图。</translation>
    </message>
    <message>
        <source>Open the export dialog for the document instead.</source>
        <translation>改为打开该文档的导出对话框。</translation>
    </message>
    <message>
        <source>Print the result as one JSON object.</source>
        <translation>以一个 JSON 对象输出结果。</translation>
    </message>
    <message>
        <source>No progress line.</source>
        <translation>不显示进度。</translation>
    </message>
    <message>
        <source>Print this help and exit.</source>
        <translation>显示此帮助并退出。</translation>
    </message>
    <message>
        <source>Export failed</source>
        <translation>导出失败</translation>
    </message>
    <message>
        <source>The add-on offers no export dialog</source>
        <translation>插件未提供导出对话框</translation>
    </message>
    <message>
        <source>Name exactly one document to export.</source>
        <translation>请指定一个要导出的文档。</translation>
    </message>
    <message>
        <source>--long and --each-page exclude each other.</source>
        <translation>--long 和 --each-page 不能同时使用。</translation>
    </message>
    <message>
        <source>Invalid arguments</source>
        <translation>参数无效</translation>
    </message>
    <message>
        <source>Run &apos;brindlex export --help&apos; for the options.</source>
        <translation>运行“brindlex export --help”查看选项。</translation>
    </message>
    <message>
        <source>%1: the host cannot open this kind of document</source>
        <translation>%1：无法打开此类文档</translation>
    </message>
    <message>
        <source>Cannot load the add-on</source>
        <translation>无法加载插件</translation>
    </message>
    <message>
        <source>The add-on offers no export entry</source>
        <translation>插件未提供导出入口</translation>
    </message>
</context>
<context>
    <name>KFrameTitleBar</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>最大化</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>菜单</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>账号</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>手机</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>还原</translation>
    </message>
</context>
<context>
    <name>KOfficeConverter</name>
    <message>
        <source>%1: opening .%2 documents needs LibreOffice (soffice), which is not installed</source>
        <translation>%1：打开 .%2 文档需要 LibreOffice（soffice），但尚未安装</translation>
    </message>
    <message>
        <source>%1: no temporary folder for the conversion</source>
        <translation>%1：无法为转换创建临时文件夹</translation>
    </message>
    <message>
        <source>%1: LibreOffice could not be started: %2</source>
        <translation>%1：无法启动 LibreOffice：%2</translation>
    </message>
    <message>
        <source>%1: the conversion was cancelled</source>
        <translation>%1：转换已取消</translation>
    </message>
    <message>
        <source>%1: LibreOffice did not finish the conversion in %2 s</source>
        <translation>%1：LibreOffice 未能在 %2 秒内完成转换</translation>
    </message>
    <message>
        <source>%1: LibreOffice could not convert the document (%2)</source>
        <translation>%1：LibreOffice 无法转换该文档（%2）</translation>
    </message>
</context>
<context>
    <name>KPageSource</name>
    <message>
        <source>The host cannot show this kind of document.</source>
        <translation>无法显示此类文档。</translation>
    </message>
    <message>
        <source>No document.</source>
        <translation>没有文档。</translation>
    </message>
</context>
<context>
    <name>KPdfBackend</name>
    <message>
        <source>%1: the PDF has errors (%2 messages; first: %3)</source>
        <translation>%1：PDF 存在错误（共 %2 条；第一条：%3）</translation>
    </message>
    <message>
        <source>%1: no such file</source>
        <translation>%1：文件不存在</translation>
    </message>
    <message>
        <source>%1: not a readable PDF document (damaged or not a PDF)</source>
        <translation>%1：不是可读取的 PDF 文档（已损坏或不是 PDF）</translation>
    </message>
    <message>
        <source>%1: the PDF document is encrypted and needs a password</source>
        <translation>%1：PDF 文档已加密，需要密码</translation>
    </message>
    <message>
        <source>%1: the PDF document has no pages</source>
        <translation>%1：PDF 文档没有页面</translation>
    </message>
</context>
<context>
    <name>KPictureViewer</name>
    <message>
        <source>is a link that leads nowhere</source>
        <translation>是指向不存在目标的链接</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>is a folder, not a picture</source>
        <translation>是文件夹，不是图片</translation>
    </message>
    <message>
        <source>is not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>cannot be read (%1)</source>
        <translation>无法读取（%1）</translation>
    </message>
    <message>
        <source>is not a picture this viewer reads</source>
        <translation>不是本看图程序能读取的图片</translation>
    </message>
    <message>
        <source>is not a picture this viewer reads (no size)</source>
        <translation>不是本看图程序能读取的图片（没有尺寸）</translation>
    </message>
    <message>
        <source>is too large to show (%1 x %2 pixels; at most %3 million pixels)</source>
        <translation>太大，无法显示（%1 x %2 像素；最多 %3 百万像素）</translation>
    </message>
    <message>
        <source>cannot be decoded (%1)</source>
        <translation>无法解码（%1）</translation>
    </message>
    <message>
        <source>is too large to show</source>
        <translation>太大，无法显示</translation>
    </message>
    <message>
        <source>cannot be held in memory</source>
        <translation>内存不足，无法载入</translation>
    </message>
    <message>
        <source>%1 - %2 x %3 pixels</source>
        <translation>%1 - %2 x %3 像素</translation>
    </message>
    <message>
        <source>%1 dpi</source>
        <translation>%1 dpi</translation>
    </message>
    <message>
        <source>resolution unknown</source>
        <translation>分辨率未知</translation>
    </message>
    <message>
        <source>%1 x %2 dpi</source>
        <translation>%1 x %2 dpi</translation>
    </message>
    <message>
        <source>%1 x %2 pixels, %3, %4 %</source>
        <translation>%1 x %2 像素，%3，%4%</translation>
    </message>
    <message>
        <source> (fit)</source>
        <translation>（适合窗口）</translation>
    </message>
</context>
<context>
    <name>KPresentationBackend</name>
    <message>
        <source>%1: the deck has no slides</source>
        <translation>%1：演示文稿没有幻灯片</translation>
    </message>
</context>
<context>
    <name>KSheetBackend</name>
    <message>
        <source>%1: no such file</source>
        <translation>%1：文件不存在</translation>
    </message>
    <message>
        <source>rows beyond %1 are not loaded</source>
        <translation>第 %1 行之后的行未载入</translation>
    </message>
    <message>
        <source>line %1 of the side file ignored: %2</source>
        <translation>已忽略附属文件第 %1 行：%2</translation>
    </message>
</context>
<context>
    <name>KUiConfig</name>
    <message>
        <source>no ribbon tab is named</source>
        <translation>配置中没有指定功能区选项卡的名称</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Export to Picture</source>
        <translation>输出为图片</translation>
    </message>
    <message>
        <source>Export the pages as one long picture or as one picture per page</source>
        <translation>将页面导出为一张长图，或逐页导出为图片</translation>
    </message>
    <message>
        <source>Export to Picture (app)</source>
        <translation>输出为图片（应用）</translation>
    </message>
    <message>
        <source>Open the export through the application framework</source>
        <translation>通过应用框架打开导出</translation>
    </message>
    <message>
        <source>PDF to Picture</source>
        <translation>PDF 转图片</translation>
    </message>
    <message>
        <source>Export the pages of the PDF as pictures</source>
        <translation>将 PDF 的页面导出为图片</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Insert Picture</source>
        <translation>插入图片</translation>
    </message>
    <message>
        <source>Insert a picture file into the document</source>
        <translation>在文档中插入图片文件</translation>
    </message>
    <message>
        <source>Picture Tools</source>
        <translation>图片工具</translation>
    </message>
    <message>
        <source>More picture tools</source>
        <translation>更多图片工具</translation>
    </message>
    <message>
        <source>Picture Tool Window</source>
        <translation>图片工具窗口</translation>
    </message>
    <message>
        <source>The document as one picture to share</source>
        <translation>将文档生成一张图片用于分享</translation>
    </message>
    <message>
        <source>Picture Page Layout</source>
        <translation>图片页面版式</translation>
    </message>
    <message>
        <source>Lay the pages out for pictures</source>
        <translation>按图片输出调整页面版式</translation>
    </message>
    <message>
        <source>Help on Pictures</source>
        <translation>图片帮助</translation>
    </message>
    <message>
        <source>Open the help page in the browser</source>
        <translation>在浏览器中打开帮助页面</translation>
    </message>
    <message>
        <source>Export to Picture...</source>
        <translation>输出为图片...</translation>
    </message>
    <message>
        <source>Export the pages as pictures</source>
        <translation>将页面导出为图片</translation>
    </message>
    <message>
        <source>Picture (JPG, PNG, BMP, TIF)</source>
        <translation>图片 (JPG, PNG, BMP, TIF)</translation>
    </message>
    <message>
        <source>Save the pages as pictures</source>
        <translation>将页面保存为图片</translation>
    </message>
    <message>
        <source>Picture Layout</source>
        <translation>图片版式</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>版式</translation>
    </message>
</context>
<context>
    <name>KViewCommand</name>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>未知选项“%1”。</translation>
    </message>
    <message>
        <source>Name one picture file.</source>
        <translation>请指定一个图片文件。</translation>
    </message>
    <message>
        <source>Usage: brindlex view FILE
Shows a picture: 0 fits it to the window, 1 shows it at 100 %, + and - zoom,
Ctrl+wheel zooms at the pointer, arrows, Page Up/Down, Home and End scroll.
</source>
        <translation>用法：brindlex view 文件
显示图片：0 适合窗口大小，1 按 100% 显示，+ 和 - 缩放，
Ctrl+滚轮以指针为中心缩放，方向键、Page Up/Down、Home 和 End 滚动。
</translation>
    </message>
    <message>
        <source>Cannot show the picture</source>
        <translation>无法显示图片</translation>
    </message>
</context>
<context>
    <name>KWriterBackend</name>
    <message>
        <source>%1: cannot be written</source>
        <translation>%1：无法写入</translation>
    </message>
    <message>
        <source>%1: tables are nested %2 deep; at most %3 levels can be laid out</source>
        <translation>%1：表格嵌套了 %2 层；最多只能排版 %3 层</translation>
    </message>
    <message>
        <source>%1: elements are nested %2 deep; at most %3 levels can be laid out</source>
        <translation>%1：元素嵌套了 %2 层；最多只能排版 %3 层</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>Usage: %1</source>
        <translation>用法：%1</translation>
    </message>
    <message>
        <source>[options]</source>
        <translation>[选项]</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>选项：</translation>
    </message>
    <message>
        <source>Arguments:</source>
        <translation>参数：</translation>
    </message>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>未知选项“%1”。</translation>
    </message>
    <message>
        <source>Unknown options: %1.</source>
        <translation>未知选项：%1。</translation>
    </message>
    <message>
        <source>Missing value after &apos;%1&apos;.</source>
        <translation>“%1”后缺少值。</translation>
    </message>
    <message>
        <source>Unexpected value after &apos;%1&apos;.</source>
        <translation>“%1”后不应有值。</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Insert Picture</source>
        <translation>插入图片</translation>
    </message>
    <message>
        <source>Pictures (%1)</source>
        <translation>图片 (%1)</translation>
    </message>
</context>
</TS>
