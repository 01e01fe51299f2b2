<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>KAlphaPanel</name>
    <message>
        <source>&amp;Transparence</source>
        <translation>透明度(&amp;T)</translation>
    </message>
</context>
<context>
    <name>KAppAboutClientWidget</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Author:</source>
        <translation>作者：</translation>
    </message>
    <message>
        <source>Category:</source>
        <translation>分类：</translation>
    </message>
    <message>
        <source>declaration:</source>
        <translation>声明：</translation>
    </message>
    <message>
        <source>Please comment on the service and give your feedback</source>
        <translation>欢迎评价本服务并提出您的意见</translation>
    </message>
    <message>
        <source>The service is provided by the developer to VYX users, and the developer shall be fully responsible for the authenticity,</source>
        <translation>本服务由开发者向 VYX 用户提供，开发者对服务信息内容、数据资源及其运营行为的真实性、</translation>
    </message>
    <message>
        <source>legality and effectiveness of the service information content, data resources and their operation behavior.</source>
        <translation>合法性和有效性承担全部责任。</translation>
    </message>
    <message>
        <source>App Version:%1</source>
        <translation>应用版本：%1</translation>
    </message>
    <message>
        <source>other</source>
        <translation>其他</translation>
    </message>
</context>
<context>
    <name>KAppAboutDlg</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
</context>
<context>
    <name>KAppDeclarationClientWidget</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>KAppDeclarationDlg</name>
    <message>
        <source>Declaration</source>
        <translation>声明</translation>
    </message>
</context>
<context>
    <name>KAppTitleBar</name>
    <message>
        <source>Declare</source>
        <translation>声明</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>意见反馈</translation>
    </message>
    <message>
        <source>Customer service</source>
        <translation>在线客服</translation>
    </message>
    <message>
        <source>Create Lnk</source>
        <translation>创建桌面快捷方式</translation>
    </message>
    <message>
        <source>App Version</source>
        <translation>应用版本</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>举报</translation>
    </message>
    <message>
        <source>Logged in</source>
        <translation>已登录</translation>
    </message>
    <message>
        <source>Not logged in</source>
        <translation>未登录</translation>
    </message>
    <message>
        <source>Create shortcut success</source>
        <translation>快捷方式创建成功</translation>
    </message>
    <message>
        <source>Failed to create shortcut</source>
        <translation>快捷方式创建失败</translation>
    </message>
</context>
<context>
    <name>KColorDialog</name>
    <message>
        <source>&amp;Colors:</source>
        <translation>颜色(&amp;C)：</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>标准</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>高级</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新增</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>当前</translation>
    </message>
</context>
<context>
    <name>KColorPanel</name>
    <message>
        <source>Standard Color</source>
        <translation>标准色</translation>
    </message>
    <message>
        <source>Recent Color</source>
        <translation>最近使用的颜色</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>Other Color(M)...</source>
        <translation>其他颜色(M)...</translation>
    </message>
</context>
<context>
    <name>KColorShower</name>
    <message>
        <source>Color mo&amp;de</source>
        <translation>颜色模式(&amp;D)</translation>
    </message>
    <message>
        <source>A&amp;lpha channel:</source>
        <translation>Alpha 通道(&amp;L)：</translation>
    </message>
    <message>
        <source>&amp;Red:</source>
        <translation>红色(&amp;R)：</translation>
    </message>
    <message>
        <source>&amp;Green:</source>
        <translation>绿色(&amp;G)：</translation>
    </message>
    <message>
        <source>Bl&amp;ue:</source>
        <translation>蓝色(&amp;U)：</translation>
    </message>
    <message>
        <source>Hu&amp;e:</source>
        <translation>色调(&amp;E)：</translation>
    </message>
    <message>
        <source>&amp;Saturation:</source>
        <translation>饱和度(&amp;S)：</translation>
    </message>
    <message>
        <source>&amp;Luminance:</source>
        <translation>亮度(&amp;L)：</translation>
    </message>
</context>
<context>
    <name>KCommandLineExport</name>
    <message>
        <source>the document has 1 page</source>
        <translation>文档共 1 页</translation>
    </message>
    <message>
        <source>the document has %1 pages</source>
        <translation>文档共 %1 页</translation>
    </message>
    <message>
        <source>Export failed</source>
        <translation>导出失败</translation>
    </message>
    <message>
        <source>The document has no page to export</source>
        <translation>文档中没有可导出的页面</translation>
    </message>
    <message>
        <source>Invalid pages</source>
        <translation>页码无效</translation>
    </message>
    <message>
        <source>example: 1,3,5-10; %1</source>
        <translation>示例：1,3,5-10；%1</translation>
    </message>
    <message>
        <source>Invalid mode</source>
        <translation>输出方式无效</translation>
    </message>
    <message>
        <source>A spreadsheet is exported as one long picture only; --each-page is not available</source>
        <translation>表格只能导出为一张长图，不能使用 --each-page</translation>
    </message>
    <message>
        <source>Invalid format</source>
        <translation>格式无效</translation>
    </message>
    <message>
        <source>The format must be jpg, png, bmp or tif</source>
        <translation>格式必须是 jpg、png、bmp 或 tif</translation>
    </message>
    <message>
        <source>Invalid quality</source>
        <translation>品质无效</translation>
    </message>
    <message>
        <source>The quality must be 100, 200, 300 or 600</source>
        <translation>品质必须是 100、200、300 或 600</translation>
    </message>
    <message>
        <source>A long picture can be exported at 100 or 200 percent</source>
        <translation>长图只能以 100% 或 200% 的品质导出</translation>
    </message>
    <message>
        <source>Invalid spacing</source>
        <translation>间距无效</translation>
    </message>
    <message>
        <source>Bands and gaps are whole pixels from 0 to 10000</source>
        <translation>页边距和页间距须为 0 到 10000 之间的整数像素</translation>
    </message>
    <message>
        <source>Invalid watermark</source>
        <translation>水印无效</translation>
    </message>
    <message>
        <source>The watermark must be none, default or custom</source>
        <translation>水印必须是 none、default 或 custom</translation>
    </message>
    <message>
        <source>The style must be normal, r_triangle, i_triangle, rectangle, circle or ellipse</source>
        <translation>样式必须是 normal、r_triangle、i_triangle、rectangle、circle 或 ellipse</translation>
    </message>
    <message>
        <source>The size must be small, mid or large</source>
        <translation>大小必须是 small、mid 或 large</translation>
    </message>
    <message>
        <source>The colour must be six hexadecimal digits, RRGGBB</source>
        <translation>颜色必须是六位十六进制数字 RRGGBB</translation>
    </message>
    <message>
        <source>The opacity must lie between 0 and 1</source>
        <translation>透明度必须在 0 到 1 之间</translation>
    </message>
    <message>
        <source>The rotation must be a whole number of degrees from 0 to 360</source>
        <translation>旋转角度必须是 0 到 360 之间的整数</translation>
    </message>
    <message>
        <source>Tiling is yes or no</source>
        <translation>平铺只能是 yes 或 no</translation>
    </message>
    <message>
        <source>Export Image</source>
        <translation>导出为图片</translation>
    </message>
    <message>
        <source>--format %1 does not match the picture&apos;s suffix .%2; name a .%1 file or leave --format out</source>
        <translation>--format %1 与图片的扩展名 .%2 不一致；请使用 .%1 文件名，或去掉 --format</translation>
    </message>
    <message>
        <source>The picture would replace the document itself, choose another file</source>
        <translation>图片将覆盖文档本身，请选择其他文件</translation>
    </message>
    <message>
        <source>The file already exists,confirm to replace the original file.</source>
        <translation>文件已存在，确认替换原文件。</translation>
    </message>
    <message>
        <source>The picture is larger than this edition&apos;s size limit; some viewers may show it incomplete</source>
        <translation>图片超出本版本的尺寸限制，部分看图软件可能显示不完整</translation>
    </message>
</context>
<context>
    <name>KEssWidget_CloseButton</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>KEssWidget_Feedback</name>
    <message>
        <source>Feedback</source>
        <translation>意见反馈</translation>
    </message>
</context>
<context>
    <name>KExportImageDialog</name>
    <message>
        <source>Out of range</source>
        <translation>超出范围</translation>
    </message>
    <message>
        <source>You can combine %1 pages at most to a normal quality long picture. Please reduce pages and try again.</source>
        <translation>普通品质的长图最多可合成 %1 页，请减少页数后重试。</translation>
    </message>
    <message>
        <source>You can combine %1 pages at most to a standard long picture. You can reduce pages or choose lower quality, and try again.</source>
        <translation>标准品质的长图最多可合成 %1 页，请减少页数或选择较低的品质后重试。</translation>
    </message>
    <message>
        <source>Export Image</source>
        <translation>导出为图片</translation>
    </message>
    <message>
        <source>Export Type</source>
        <translation>输出方式</translation>
    </message>
    <message>
        <source>can&apos;t combine to long picture because of only one page in the document</source>
        <translation>文档只有一页，无法合成长图</translation>
    </message>
    <message>
        <source>Exporting page %1 of %2, please wait...</source>
        <translation>正在导出第 %1 页，共 %2 页，请稍候...</translation>
    </message>
    <message>
        <source>Each page</source>
        <translation>逐页输出</translation>
    </message>
    <message>
        <source>Long Picture</source>
        <translation>输出为长图</translation>
    </message>
    <message>
        <source>Watermark</source>
        <translation>水印</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>品质</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>格式</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Save To</source>
        <translation>保存到</translation>
    </message>
    <message>
        <source>Login tips</source>
        <translation>登录提示</translation>
    </message>
    <message>
        <source>Sorry! You need to login in order to use cloud disk.</source>
        <translation>抱歉！使用云盘前需要先登录。</translation>
    </message>
    <message>
        <source>Export success</source>
        <translation>导出成功</translation>
    </message>
    <message>
        <source>image outputed, open file or open output path to view!</source>
        <translation>图片已输出，可打开文件或打开所在文件夹查看！</translation>
    </message>
    <message>
        <source>Can&apos;t close because another export task is running</source>
        <translation>正在导出，暂时无法关闭</translation>
    </message>
</context>
<context>
    <name>KExportImageMgr</name>
    <message>
        <source>Export Image</source>
        <translation>导出为图片</translation>
    </message>
    <message>
        <source>Another export task is running,please wait and try again</source>
        <translation>另一个导出任务正在进行，请稍后再试</translation>
    </message>
</context>
<context>
    <name>KExportImageTask</name>
    <message>
        <source>Export failed</source>
        <translation>导出失败</translation>
    </message>
    <message>
        <source>Export failed. Please lower picture quality or reduce file content, and try again.</source>
        <translation>导出失败。请降低图片品质或减少文件内容后重试。</translation>
    </message>
    <message>
        <source>Export image failed, please reduce the image quality or
 adjust doc pages and try again</source>
        <translation>导出图片失败，请降低图片品质或
调整文档页数后重试</translation>
    </message>
    <message>
        <source>could not be rendered</source>
        <translation>无法渲染</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>Cannot create the folder %1: %2</source>
        <translation>无法创建文件夹 %1：%2</translation>
    </message>
    <message>
        <source>Every numbered folder name for %1 is taken</source>
        <translation>%1 的所有编号文件夹名均已被占用</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>Page %1 %2</source>
        <translation>第 %1 页%2</translation>
    </message>
    <message>
        <source>is too large to render at %1 % (%2 x %3 pixels; at most %4 a side)</source>
        <translation>在 %1% 下过大，无法渲染（%2 x %3 像素；每边最多 %4 像素）</translation>
    </message>
    <message>
        <source>needs more memory than this machine has</source>
        <translation>所需内存超出本机可用内存</translation>
    </message>
    <message>
        <source>unknown picture format: %1</source>
        <translation>未知的图片格式：%1</translation>
    </message>
    <message>
        <source>Cannot write %1: the folder %2 is gone</source>
        <translation>无法写入 %1：文件夹 %2 已不存在</translation>
    </message>
</context>
<context>
    <name>KExportImageTaskQz</name>
    <message>
        <source>The sheet is empty</source>
        <translation>工作表为空</translation>
    </message>
    <message>
        <source>The sheet is too large for a picture (%1 x %2 pixels)</source>
        <translation>工作表太大，无法生成图片（%1 x %2 像素）</translation>
    </message>
    <message>
        <source>Not enough memory for a picture of %1 x %2 pixels</source>
        <translation>内存不足，无法生成 %1 x %2 像素的图片</translation>
    </message>
    <message>
        <source>Not enough memory for the framed picture</source>
        <translation>内存不足，无法生成带边框的图片</translation>
    </message>
</context>
<context>
    <name>KExportImageTaskVyd</name>
    <message>
        <source>is missing from the presentation</source>
        <translation>在演示文稿中不存在</translation>
    </message>
    <message>
        <source>with its bands needs more memory than this machine has</source>
        <translation>加上边距后所需内存超出本机可用内存</translation>
    </message>
</context>
<context>
    <name>KExportImageTaskVyx</name>
    <message>
        <source>is missing from the document</source>
        <translation>在文档中不存在</translation>
    </message>
    <message>
        <source>with its bands needs more memory than this machine has</source>
        <translation>加上边距后所需内存超出本机可用内存</translation>
    </message>
</context>
<context>
    <name>KExportLineEdit</name>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>save image</source>
        <translation>保存图片</translation>
    </message>
</context>
<context>
    <name>KExportLoadingTips</name>
    <message>
        <source>Exporting image, please wait...</source>
        <translation>正在导出图片，请稍候...</translation>
    </message>
    <message>
        <source>%1cancel%2</source>
        <translation>%1取消%2</translation>
    </message>
</context>
<context>
    <name>KExportPaths</name>
    <message>
        <source>myphoto</source>
        <translation>myphoto</translation>
    </message>
    <message>
        <source>Export Image</source>
        <translation>导出为图片</translation>
    </message>
    <message>
        <source>The file already exists,confirm to replace the original file.</source>
        <translation>文件已存在，确认替换原文件。</translation>
    </message>
</context>
<context>
    <name>KExportPictureClientWidget</name>
    <message>
        <source>cloudapp/ktavro</source>
        <translation>cloudapp/ktavro</translation>
    </message>
    <message>
        <source>Exporting page %1 of %2, please wait...</source>
        <translation>正在导出第 %1/%2 页，请稍候...</translation>
    </message>
    <message>
        <source>can&apos;t combine to long picture because of only one page in the document</source>
        <translation>文档只有一页，无法合成长图</translation>
    </message>
    <message>
        <source>Margins Setting</source>
        <translation>页边距设置</translation>
    </message>
    <message>
        <source>no watermark</source>
        <translation>无水印</translation>
    </message>
    <message>
        <source>custom watermark</source>
        <translation>自定义水印</translation>
    </message>
    <message>
        <source>default watermark</source>
        <translation>默认水印</translation>
    </message>
    <message>
        <source>all page</source>
        <translation>全部页</translation>
    </message>
    <message>
        <source>range page</source>
        <translation>页码范围</translation>
    </message>
    <message>
        <source>example:1,3,5-10...</source>
        <translation>例如：1,3,5-10...</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>格式</translation>
    </message>
    <message>
        <source>Qulity</source>
        <translation>品质</translation>
    </message>
    <message>
        <source>exprot type</source>
        <translation>输出方式</translation>
    </message>
    <message>
        <source>Watermark Setting</source>
        <translation>水印设置</translation>
    </message>
    <message>
        <source>Page Setting</source>
        <translation>页面设置</translation>
    </message>
    <message>
        <source>Export Path</source>
        <translation>导出路径</translation>
    </message>
    <message>
        <source>Backup to cloud disk</source>
        <translation>备份到云盘</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Edit Watermark</source>
        <translation>编辑水印</translation>
    </message>
    <message>
        <source>Out of range</source>
        <translation>超出范围</translation>
    </message>
    <message>
        <source>system will be composed with %1 pages as a long graph.</source>
        <translation>系统将把前 %1 页合成为一张长图。</translation>
    </message>
    <message>
        <source>Export Limit</source>
        <translation>导出限制</translation>
    </message>
    <message>
        <source>Picture length and width product exceeds 10000*10000, continue output may cause picture output incomplete; can be output by the following method:</source>
        <translation>图片长宽乘积超过 10000*10000，继续输出可能导致图片输出不完整；可通过以下方式输出：</translation>
    </message>
    <message>
        <source>Export success</source>
        <translation>导出成功</translation>
    </message>
    <message>
        <source>image outputed, open file or open output path to view!</source>
        <translation>图片已输出，可打开文件或打开所在文件夹查看！</translation>
    </message>
</context>
<context>
    <name>KExportPictureDlg</name>
    <message>
        <source>Export picture</source>
        <translation>导出为图片</translation>
    </message>
</context>
<context>
    <name>KExportRules</name>
    <message>
        <source>a %1 picture can be at most %2 pixels wide and high, this one is %3 x %4</source>
        <translation>%1 图片的宽和高最多为 %2 像素，此图片为 %3 x %4</translation>
    </message>
    <message>
        <source>Out of range</source>
        <translation>超出范围</translation>
    </message>
    <message>
        <source>%1 doc pages can support when export image as long picture
 whit %2 %,please adjust doc pages%3 and try again</source>
        <translation>以 %2% 品质导出长图时最多支持 %1 页文档，
请调整文档页数%3后重试</translation>
    </message>
    <message>
        <source> or reduce the image quality</source>
        <translation>或降低图片品质</translation>
    </message>
</context>
<context>
    <name>KExportTypeItem</name>
    <message>
        <source>Each Page</source>
        <translation>逐页输出</translation>
    </message>
    <message>
        <source>Long pictrue</source>
        <translation>输出为长图</translation>
    </message>
</context>
<context>
    <name>KMarginsOptionCliectWidget</name>
    <message>
        <source>margin-top:</source>
        <translation>上边距：</translation>
    </message>
    <message>
        <source>margin-bottom:</source>
        <translation>下边距：</translation>
    </message>
    <message>
        <source>Page Spacing:</source>
        <translation>页间距：</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>pix</source>
        <translation> 像素</translation>
    </message>
</context>
<context>
    <name>KMarginsOptionDlg</name>
    <message>
        <source>Page Spacing Settings</source>
        <translation>页边距设置</translation>
    </message>
</context>
<context>
    <name>KOutputPath</name>
    <message>
        <source>%1: not a folder</source>
        <translation>%1：不是文件夹</translation>
    </message>
    <message>
        <source>%1: no permission to create a folder in it</source>
        <translation>%1：没有在其中创建文件夹的权限</translation>
    </message>
    <message>
        <source>Export path does not exist,please input a valid local path</source>
        <translation>导出路径不存在，请输入有效的本地路径</translation>
    </message>
    <message>
        <source>Export path can&apos;t be empty,please input file path</source>
        <translation>导出路径不能为空，请输入文件路径</translation>
    </message>
    <message>
        <source>Export path length must be between %1 and %2 characters</source>
        <translation>导出路径长度须在 %1 到 %2 个字符之间</translation>
    </message>
    <message>
        <source>%1: %2 characters</source>
        <translation>%1：%2 个字符</translation>
    </message>
    <message>
        <source>%1: no such drive</source>
        <translation>%1：驱动器不存在</translation>
    </message>
    <message>
        <source>%1: the picture needs a file name that does not begin with &quot;.&quot;</source>
        <translation>%1：图片的文件名不能以“.”开头</translation>
    </message>
    <message>
        <source>Invalid file path,please reselect and try again</source>
        <translation>文件路径无效，请重新选择后重试</translation>
    </message>
    <message>
        <source>A file name can&apos;t contain any of the following characters: \/:*?&quot;&lt;&gt;|</source>
        <translation>文件名不能包含下列任何字符：\/:*?&quot;&lt;&gt;|</translation>
    </message>
    <message>
        <source>Invalid image format,please reselect and try again</source>
        <translation>图片格式无效，请重新选择后重试</translation>
    </message>
    <message>
        <source>%1: the name must end in .jpg, .jpeg, .png, .bmp, .tif or .tiff</source>
        <translation>%1：文件名必须以 .jpg、.jpeg、.png、.bmp、.tif 或 .tiff 结尾</translation>
    </message>
    <message>
        <source>%1: is a folder</source>
        <translation>%1：是一个文件夹</translation>
    </message>
</context>
<context>
    <name>KPhotoQualityComboBoxItem</name>
    <message>
        <source>Common DEFN(100 percent)</source>
        <translation>普通品质(100%)</translation>
    </message>
    <message>
        <source>Common DEFN</source>
        <translation>普通品质</translation>
    </message>
    <message>
        <source>Standard DEFN(200 percent)</source>
        <translation>标准品质(200%)</translation>
    </message>
    <message>
        <source>Standard DEFN</source>
        <translation>标准品质</translation>
    </message>
    <message>
        <source>High DEFN(300 percent)</source>
        <translation>高清品质(300%)</translation>
    </message>
    <message>
        <source>High DEFN</source>
        <translation>高清品质</translation>
    </message>
    <message>
        <source>Super DEFN(600 percent)</source>
        <translation>超清品质(600%)</translation>
    </message>
    <message>
        <source>Super DEFN</source>
        <translation>超清品质</translation>
    </message>
</context>
<context>
    <name>KPreviewPage</name>
    <message>
        <source>loding preview page</source>
        <translation>正在加载预览页...</translation>
    </message>
</context>
<context>
    <name>KRangeLineEdit</name>
    <message>
        <source>example:1,3,5-10...</source>
        <translation>例如：1,3,5-10...</translation>
    </message>
    <message>
        <source>example: 1,3,5-10</source>
        <translation>例如：1,3,5-10</translation>
    </message>
</context>
<context>
    <name>KSaveAsExportImageDialog</name>
    <message>
        <source>保存图片</source>
        <translation>保存图片</translation>
    </message>
    <message>
        <source>tavro图片.jpg</source>
        <translation>tavro图片.jpg</translation>
    </message>
    <message>
        <source>JPEG 文件交换格式 (*.jpg);;可移植网络图形 (*.png);;图形交换格式(GIF) (*.gif);;Windows 位图 (*.bmp)</source>
        <translation>JPEG 文件交换格式 (*.jpg);;可移植网络图形 (*.png);;图形交换格式(GIF) (*.gif);;Windows 位图 (*.bmp)</translation>
    </message>
    <message>
        <source>导出图片后浏览</source>
        <translation>导出图片后浏览</translation>
    </message>
    <message>
        <source>输出图片文件</source>
        <translation>输出图片文件</translation>
    </message>
    <message>
        <source>\tavro图片\tavro图片.jpg</source>
        <translation>\tavro图片\tavro图片.jpg</translation>
    </message>
    <message>
        <source>保存到</source>
        <translation>保存到</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>KTavroCloudHelper</name>
    <message>
        <source>cloudapp/ktavro</source>
        <translation>cloudapp/ktavro</translation>
    </message>
</context>
<context>
    <name>KTipsDialog</name>
    <message>
        <source>Yes(&amp;Y)</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>Ok(&amp;O)</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>No(&amp;N)</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>Open(&amp;O)</source>
        <translation>打开(&amp;O)</translation>
    </message>
    <message>
        <source>Open Path(&amp;F)</source>
        <translation>打开文件夹(&amp;F)</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Continue Output</source>
        <translation>继续输出</translation>
    </message>
    <message>
        <source>Cancel Output</source>
        <translation>取消输出</translation>
    </message>
</context>
<context>
    <name>KWatermarkCliectWidget</name>
    <message>
        <source>text</source>
        <translation>文字</translation>
    </message>
    <message>
        <source>color</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>opacity</source>
        <translation>透明度</translation>
    </message>
    <message>
        <source>style</source>
        <translation>样式</translation>
    </message>
    <message>
        <source>rotate</source>
        <translation>旋转</translation>
    </message>
    <message>
        <source>size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>large</source>
        <translation>大</translation>
    </message>
    <message>
        <source>mid</source>
        <translation>中</translation>
    </message>
    <message>
        <source>small</source>
        <translation>小</translation>
    </message>
    <message>
        <source>tile</source>
        <translation>平铺</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>no</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>KWatermarkLineEdit</name>
    <message>
        <source>Confidential, Forbidden Copy, Original Copy, Sample Copy</source>
        <translation>机密、禁止复制、原件、样本</translation>
    </message>
</context>
<context>
    <name>KWatermarkOptionDlg</name>
    <message>
        <source>Custom Watermark</source>
        <translation>自定义水印</translation>
    </message>
</context>
<context>
    <name>KWebNetworkErrPage</name>
    <message>
        <source>Loading failed, please try again later</source>
        <translation>加载失败，请稍后再试</translation>
    </message>
</context>
<context>
    <name>KxVyxTavroContext</name>
    <message>
        <source>VyxTavro</source>
        <translation>长图工具</translation>
    </message>
</context>
<context>
    <name>WatermarkSetting</name>
    <message>
        <source>Brindlex Office</source>
        <translation>Brindlex Office</translation>
    </message>
</context>
</TS>
