<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>FormParts</name>
    <message>
        <location filename="../src/ui/FormParts.cpp" line="+80"/>
        <source>分拣进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>开始处理</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关于</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>KeywordPage</name>
    <message>
        <location filename="../src/ui/KeywordPage.cpp" line="+14"/>
        <source>     按文件名匹配关键字分拣  </source>
        <translation>     Sort by keywords in the name  </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>请输入关键字（多个关键字以空格分隔）：               </source>
        <translation>Enter keywords (separate several with spaces):               </translation>
    </message>
</context>
<context>
    <name>NamePage</name>
    <message>
        <location filename="../src/ui/NamePage.cpp" line="+17"/>
        <source>     按文件名称分拣 </source>
        <translation>     Sort by name </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>字符到：</source>
        <translation>to</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>字符</source>
        <translation>inclusive</translation>
    </message>
</context>
<context>
    <name>PlanCsv</name>
    <message>
        <location filename="../src/ui/PlanCsv.cpp" line="+76"/>
        <source>无法导出预览：“%1”不是普通文件（设备、管道或套接字），未被替换。</source>
        <translation>Cannot export the preview: &quot;%1&quot; is not a regular file (it is a device, pipe or socket) and was left as it is.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Cannot create file &quot;%1&quot;. %2</translation>
    </message>
</context>
<context>
    <name>ReplaceQuestion</name>
    <message>
        <location filename="../src/ui/ReplaceQuestion.cpp" line="+26"/>
        <source>全部是(&amp;A)</source>
        <translation>Yes to &amp;All</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全部否(&amp;O)</source>
        <translation>N&amp;o to All</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停止(&amp;S)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message numerus="yes">
        <location line="+39"/>
        <source>%n 字节</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
        </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1（%2 字节）</source>
        <translation>%1 (%2 bytes)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1（较新）</source>
        <translation>%1 (newer)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>现有文件</source>
        <translation>Existing file</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>新文件</source>
        <translation>New file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>大小：</source>
        <translation>Size:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>修改时间：</source>
        <translation>Modified:</translation>
    </message>
</context>
<context>
    <name>ResultGroup</name>
    <message>
        <location filename="../src/ui/ResultGroup.cpp" line="+20"/>
        <source>分拣结果</source>
        <translation>Output</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣结果输出到：</source>
        <translation>Output folder:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>选择</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>目标文件夹下存在同名文件时：</source>
        <translation>When the name is taken:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>覆盖</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>询问</source>
        <translation>Ask</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>自动编号文件名</source>
        <translation>Number the name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按文件修改时间只替换旧文件</source>
        <translation>Replace only older files</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>请选择文件夹</source>
        <translation>Choose a folder</translation>
    </message>
</context>
<context>
    <name>RunControls</name>
    <message>
        <location filename="../src/ui/RunControls.cpp" line="+25"/>
        <source>文件%1已存在，是否覆盖？</source>
        <translation>The file %1 already exists. Replace it?</translation>
    </message>
</context>
<context>
    <name>RunStatusText</name>
    <message numerus="yes">
        <location filename="../src/ui/RunStatusText.cpp" line="+11"/>
        <source>列表中共有 %n 个文件夹</source>
        <translation>
            <numerusform>%n folder in the list</numerusform>
            <numerusform>%n folders in the list</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>列表中共有 %n 个文件</source>
        <translation>
            <numerusform>%n file in the list</numerusform>
            <numerusform>%n files in the list</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SourceListGroup</name>
    <message>
        <location filename="../src/ui/SourceListGroup.cpp" line="+49"/>
        <source>清空列表</source>
        <translation>Clear list</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出列表</source>
        <translation>Export list</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导入列表</source>
        <translation>Import list</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>当前文件列表为空！</source>
        <translation>The list is empty!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>列表文件(*.lst)</source>
        <translation>List files (*.lst)</translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>有 %n 个文件名中含有换行符，未能写入列表文件。</source>
        <translation>
            <numerusform>%n name contains a line break and was not written to the list file.</numerusform>
            <numerusform>%n names contain a line break and were not written to the list file.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SwitchStrip</name>
    <message>
        <location filename="../src/ui/SwitchStrip.cpp" line="+14"/>
        <source>文件分拣</source>
        <translation>Sort files</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件夹（目录）分拣</source>
        <translation>Sort folders</translation>
    </message>
</context>
<context>
    <name>zanfeld::PlanTableModel</name>
    <message numerus="yes">
        <location filename="../src/ui/PlanTableModel.cpp" line="+87"/>
        <source>共 %n 个文件</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>共 %n 个文件：%1</source>
        <translation>
            <numerusform>%n file: %1</numerusform>
            <numerusform>%n files: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>zanfeld::PreviewWindow</name>
    <message>
        <location filename="../src/ui/PreviewWindow.cpp" line="+23"/>
        <source>%1 - 预览</source>
        <translation>%1 - Preview</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>只看同名冲突</source>
        <translation>Name clashes only</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>只看问题</source>
        <translation>Problems only</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>将整个预览（不论筛选）保存为 CSV 文件</source>
        <translation>Save the whole preview (whatever the filter) as a CSV file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
</context>
<context>
    <name>zanfeld::RunHistoryDialog</name>
    <message>
        <location filename="../src/ui/RunHistoryDialog.cpp" line="+18"/>
        <source>%1 - 分拣记录</source>
        <translation>%1 - History</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>开始时间</source>
        <translation>Started</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>窗口</source>
        <translation>Window</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>分拣方式</source>
        <translation>Sorted by</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>输出目录</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>撤销所选分拣</source>
        <translation>Undo selected sort</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>zanfeld::SortIllustration</name>
    <message>
        <location filename="../src/ui/SortIllustration.cpp" line="+96"/>
        <source>西游记.txt</source>
        <translation>Rome trip.txt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>东游记.doc</source>
        <translation>Oslo trip.doc</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+2"/>
        <location line="+17"/>
        <location line="+2"/>
        <source>游记</source>
        <translation>trip</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>西游记</source>
        <translation>Rome trip</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>东游记</source>
        <translation>Oslo trip</translation>
    </message>
</context>
<context>
    <name>zanfeld::SortWindow</name>
    <message>
        <location filename="../src/ui/SortWindow.cpp" line="+122"/>
        <source>早于</source>
        <translation>earlier than</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>晚于</source>
        <translation>later than</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>分拣方式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>撤销上次分拣</source>
        <translation>Undo last sort</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣记录</source>
        <translation>History</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>分拣正在进行，是否停止并退出？</source>
        <translation>Sorting is in progress. Stop it and quit?</translation>
    </message>
    <message>
        <location line="+192"/>
        <source>分拣记录无法打开，不能撤销。</source>
        <translation>The sort history cannot be opened, so nothing can be undone.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>没有可以撤销的分拣。</source>
        <translation>There is no sort that can be undone.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>分拣记录无法打开。</source>
        <translation>The sort history cannot be opened.</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>预览：%1</source>
        <translation>Preview: %1</translation>
    </message>
</context>
<context>
    <name>zanfeld::TForm1</name>
    <message>
        <location filename="../src/ui/Unit1.cpp" line="+77"/>
        <source>要分拣的文件</source>
        <translation>Files to sort</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>添加文件</source>
        <translation>Add files</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>添加目录下文件</source>
        <translation>Add from folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移除文件</source>
        <translation>Remove file</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>移动式分拣(将文件从原目录移动到结果目录)</source>
        <translation>Move the files (from their folders into the output folder)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>复制式分拣(将文件复制到结果目录)</source>
        <translation>Copy the files (into the output folder)</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>只按文件名部分进行分拣，从：</source>
        <translation>Use only part of the name, from character</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>判断文件名时过滤以下字符（多个字符以 * （星号）分隔）：</source>
        <translation>Ignore these characters in names (separate several with *):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只分拣与输出文件夹下已存在目录的相匹配的文件项</source>
        <translation>Only sort files that match a folder already in the output folder</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>     按文件类型分拣 </source>
        <translation>     Sort by file type </translation>
    </message>
    <message>
        <location line="+14"/>
        <source>     按文件大小分拣</source>
        <translation>     Sort by file size</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣出满足条件的文件：</source>
        <translation>Sort the files whose size is</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>大于</source>
        <translation>greater than</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>小于</source>
        <translation>less than</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>文件创建时间</source>
        <translation>Creation time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件修改时间</source>
        <translation>Modification time</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>     按宽或高进行图像文件分拣</source>
        <translation>     Sort pictures by width or height</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>图片宽：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>图片高：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>大于等于</source>
        <translation>at least</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>小于等于</source>
        <translation>at most</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>等于</source>
        <translation>exactly</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>像素</source>
        <translation>pixels</translation>
    </message>
    <message>
        <location line="+20"/>
        <source> 按文件名匹配关键字分拣 </source>
        <translation> By keywords in the name </translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按文件名分拣</source>
        <translation> By name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按文件类型分拣</source>
        <translation> By file type</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按文件大小分拣</source>
        <translation> By file size</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按文件日期属性分拣</source>
        <translation> By file date</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 图像文件分拣</source>
        <translation> By picture size</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>分拣选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+229"/>
        <source>分拣方式：%1</source>
        <translation>Sorting:%1</translation>
    </message>
    <message>
        <location line="-225"/>
        <source>只分拣这些类型文件：</source>
        <translation>Only these types:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不分拣这些类型文件：</source>
        <translation>All but these types:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>图片文件类型包括：</source>
        <translation>Picture types:</translation>
    </message>
    <message>
        <location line="+270"/>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
</context>
<context>
    <name>zanfeld::TForm3</name>
    <message>
        <location filename="../src/ui/Unit3.cpp" line="+25"/>
        <source>选择要添加的目录（文件夹）</source>
        <translation>Choose a folder to add</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>不显示隐藏的文件夹</source>
        <translation>Do not show hidden folders</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>添加包括选定文件夹下的所有子文件夹中的文件</source>
        <translation>Include the files of all its subfolders</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>添加包括选定文件夹下</source>
        <translation>Include the files down to</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>级子目录中所有文件</source>
        <translation>levels of subfolders</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>zanfeld::TForm6</name>
    <message>
        <location filename="../src/ui/Unit6.cpp" line="+50"/>
        <source>要分拣的文件夹（目录）</source>
        <translation>Folders to sort</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>添加文件夹</source>
        <translation>Add folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加目录下级目录</source>
        <translation>Add subfolders</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>移除文件夹</source>
        <translation>Remove folder</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>复制式分拣(将文件夹复制到分拣目录)</source>
        <translation>Copy the folders (into the output folder)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>只按目录名部分进行分拣，从：</source>
        <translation>Use only part of the folder name, from character</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>判断目录名时过滤以下字符（多个字符以*（星号）分隔）</source>
        <translation>Ignore these characters in folder names (separate several with *):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只分拣与输出文件夹下已存在目录的相匹配的目录项</source>
        <translation>Only sort folders that match a folder already in the output folder</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>文件夹创建时间：</source>
        <translation>Folder creation time:</translation>
    </message>
    <message>
        <location line="+16"/>
        <source> 按目录名匹配关键字分拣 </source>
        <translation> By keywords in the folder name </translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按目录名分拣</source>
        <translation> By folder name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按目录日期属性分拣</source>
        <translation> By folder date</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>请选择文件夹</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>不能对驱动器（磁盘）进行分拣！</source>
        <translation>A whole drive (disk) cannot be sorted!</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>请选择上级目录（文件夹）</source>
        <translation>Choose the parent folder</translation>
    </message>
</context>
<context>
    <name>zanfeld::TfrmAbout</name>
    <message>
        <location filename="../src/ui/Unit4.cpp" line="+42"/>
        <source>关于 - %1</source>
        <translation>About - %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件分拣工具：按关键字、文件名、类型、大小、日期或图片宽高，把文件复制或移动到输出目录下的分类文件夹中；也可按目录名分拣整个文件夹。</source>
        <translation>A file sorter: it copies or moves files into sub-folders of an output folder by keyword, name, type, size, date or picture width and height, and sorts whole folders by their names.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>暂时无法连接到服务器。</source>
        <translation>The server cannot be reached at the moment.</translation>
    </message>
</context>
<context>
    <name>zanfeld::TfrmSuffix</name>
    <message>
        <location filename="../src/ui/Unit5.cpp" line="+19"/>
        <source>添加文件类型</source>
        <translation>Add file type</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>输入文件扩展名如:*.txt</source>
        <translation>Enter an extension such as *.txt</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>输入文件扩展名如:*.txt !</source>
        <translation>Enter an extension such as *.txt!</translation>
    </message>
</context>
</TS>
