<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Engine</name>
    <message>
        <source>没有需要分拣的文件!</source>
        <translation>There are no files to sort!</translation>
    </message>
    <message>
        <source>没有需要分拣的文件夹（目录）!</source>
        <translation>There are no folders to sort!</translation>
    </message>
    <message>
        <source>如果选择了只分拣某些文件类型，则类型不应当为空！</source>
        <translation>When only some file types are to be sorted, the list of types must not be empty!</translation>
    </message>
    <message>
        <source>请选择分拣结果输出目录！</source>
        <translation>Please choose the output directory for the sorted files!</translation>
    </message>
    <message>
        <source>请输入匹配关键字!</source>
        <translation>Please enter the keywords to match!</translation>
    </message>
    <message>
        <source>请输入整数序号!</source>
        <translation>Please enter whole numbers for the positions!</translation>
    </message>
    <message>
        <source>请输入正确的图片宽高!</source>
        <translation>Please enter a valid picture width or height!</translation>
    </message>
    <message>
        <source>请输入正确的文件大小!</source>
        <translation>Please enter a valid file size!</translation>
    </message>
    <message>
        <source>分拣工作完成！</source>
        <translation>Sorting finished!</translation>
    </message>
    <message>
        <source>分拣已停止。</source>
        <translation>Sorting stopped.</translation>
    </message>
    <message>
        <source>%1。</source>
        <extracomment>A sentence made of another text (the counts of a stopped run).</extracomment>
        <translation>%1.</translation>
    </message>
    <message numerus="yes">
        <source>有 %1 个文件未能分拣：</source>
        <extracomment>%1 files; the failed files follow, one a line.</extracomment>
        <translation>
            <numerusform>%1 file could not be sorted:</numerusform>
            <numerusform>%1 files could not be sorted:</numerusform>
        </translation>
    </message>
    <message>
        <source>%1：%2</source>
        <extracomment>%1 the path of a file, %2 why it failed.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>……</source>
        <extracomment>Ends a list that names only the first few.</extracomment>
        <translation>…</translation>
    </message>
    <message numerus="yes">
        <source>有 %1 个被覆盖的文件无法放入回收站，已不能恢复。</source>
        <translation>
            <numerusform>%1 replaced file could not be moved to the Trash and can no longer be restored.</numerusform>
            <numerusform>%1 replaced files could not be moved to the Trash and can no longer be restored.</numerusform>
        </translation>
    </message>
    <message>
        <source>分拣记录无法写入，此次分拣不能撤销。</source>
        <translation>The run could not be recorded; it cannot be undone.</translation>
    </message>
    <message>
        <source>分拣中断：%1</source>
        <extracomment>%1 the system&apos;s words for what went wrong.</extracomment>
        <translation>Sorting interrupted: %1</translation>
    </message>
    <message>
        <source>无法进入文件夹“%1”：%2，分拣已中止。</source>
        <extracomment>%1 a folder&apos;s path, %2 the reason.</extracomment>
        <translation>Cannot enter the folder “%1”: %2. Sorting was aborted.</translation>
    </message>
    <message>
        <source>已放置 %1 个，跳过 %2 个，改名 %3 个，覆盖 %4 个，失败 %5 个</source>
        <extracomment>The files of a run by what became of them.</extracomment>
        <translation>placed %1, skipped %2, renamed %3, overwritten %4, failed %5</translation>
    </message>
    <message>
        <source>目标文件夹“%1”不在输出目录之内</source>
        <extracomment>%1 a folder&apos;s path below the output directory.</extracomment>
        <translation>the target folder “%1” is not inside the output directory</translation>
    </message>
    <message>
        <source>无法建立目标文件夹“%1”：%2</source>
        <extracomment>%1 a folder&apos;s path, %2 the reason.</extracomment>
        <translation>cannot make the target folder “%1”: %2</translation>
    </message>
    <message>
        <source>目标位置“%1”已被同名的文件或链接占用</source>
        <extracomment>%1 a path.</extracomment>
        <translation>the target “%1” is taken by a file or link of the same name</translation>
    </message>
    <message>
        <source>已在目标位置</source>
        <translation>already in place</translation>
    </message>
    <message>
        <source>不是普通文件（设备、管道或套接字），未打开</source>
        <translation>not a regular file (a device, pipe or socket); not opened</translation>
    </message>
    <message>
        <source>文件在处理期间被改动或替换</source>
        <translation>the file was changed or replaced while it was being handled</translation>
    </message>
    <message>
        <source>此符号链接会取代它所指向的文件，未移动</source>
        <translation>this symbolic link would take the place of the file it points to; not moved</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>操作不被允许</source>
        <translation>operation not permitted</translation>
    </message>
    <message>
        <source>只读文件系统</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>超出磁盘配额</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <source>文件名或路径过长</source>
        <translation>file name or path too long</translation>
    </message>
    <message>
        <source>符号链接层数过多</source>
        <translation>too many levels of symbolic links</translation>
    </message>
    <message>
        <source>链接数过多</source>
        <translation>too many links</translation>
    </message>
    <message>
        <source>是一个文件夹</source>
        <translation>is a folder</translation>
    </message>
    <message>
        <source>不是文件夹</source>
        <translation>not a folder</translation>
    </message>
    <message>
        <source>输入/输出错误</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>不能跨文件系统</source>
        <translation>cannot cross file systems</translation>
    </message>
    <message>
        <source>已有同名项目</source>
        <translation>an item of the same name exists</translation>
    </message>
    <message>
        <source>正在复制 %1</source>
        <extracomment>%1 a file&apos;s name.</extracomment>
        <translation>Copying %1</translation>
    </message>
    <message>
        <source>正在移动 %1</source>
        <extracomment>%1 a file&apos;s name.</extracomment>
        <translation>Moving %1</translation>
    </message>
    <message>
        <source>%1（%2 / %3）</source>
        <extracomment>%1 what is being copied, %2 the bytes copied so far, %3 the file&apos;s size.</extracomment>
        <translation>%1 (%2 / %3)</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>Two parts of the status line.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>%1· %2</source>
        <extracomment>Two parts of the status line, the first ending in a full-width bracket.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>第 %1 / %2 个文件</source>
        <extracomment>%1 the entry of the list, %2 the entries in it.</extracomment>
        <translation>file %1 of %2</translation>
    </message>
    <message>
        <source>第 %1 / %2 个文件夹</source>
        <extracomment>%1 the entry of the list, %2 the entries in it.</extracomment>
        <translation>folder %1 of %2</translation>
    </message>
    <message>
        <source>剩余约 %1</source>
        <extracomment>%1 a time such as 00:42 or 1:02:03.</extracomment>
        <translation>about %1 left</translation>
    </message>
    <message>
        <source>分拣完成：%1</source>
        <extracomment>%1 the counts of the run.</extracomment>
        <translation>Sorting finished: %1</translation>
    </message>
    <message>
        <source>分拣已停止：%1</source>
        <extracomment>%1 the counts of the run.</extracomment>
        <translation>Sorting stopped: %1</translation>
    </message>
    <message>
        <source>源文件</source>
        <translation>Source file</translation>
    </message>
    <message>
        <source>目标文件夹</source>
        <translation>Target folder</translation>
    </message>
    <message>
        <source>目标文件</source>
        <translation>Target file</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>移动</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>询问</source>
        <translation>Ask</translation>
    </message>
    <message>
        <source>覆盖</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <source>编号为</source>
        <extracomment>Followed by the numbered name the file gets.</extracomment>
        <translation>Numbered as</translation>
    </message>
    <message>
        <source>跳过（同名）</source>
        <translation>Skip (same name)</translation>
    </message>
    <message>
        <source>只替换旧文件 → 替换</source>
        <translation>Replace only older → replace</translation>
    </message>
    <message>
        <source>只替换旧文件 → 保留</source>
        <translation>Replace only older → keep</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>不能分拣</source>
        <translation>Cannot sort</translation>
    </message>
    <message>
        <source>编号</source>
        <extracomment>Files given a numbered name, in a count.</extracomment>
        <translation>Numbered</translation>
    </message>
    <message>
        <source>未选中</source>
        <translation>Not selected</translation>
    </message>
    <message>
        <source>编号为 %1</source>
        <extracomment>%1 the numbered name.</extracomment>
        <translation>Numbered as %1</translation>
    </message>
    <message>
        <source>不能分拣 %1</source>
        <extracomment>%1 why the file cannot be sorted.</extracomment>
        <translation>Cannot sort: %1</translation>
    </message>
    <message>
        <source>文件已不在分拣放到的位置，未撤销</source>
        <translation>the file is no longer where the run placed it; not undone</translation>
    </message>
    <message>
        <source>文件在分拣之后被改动或替换过，未撤销</source>
        <translation>the file was changed or replaced after the run; not undone</translation>
    </message>
    <message>
        <source>被覆盖的文件留在回收站：它原来的位置仍被占用</source>
        <translation>the replaced file stays in the Trash: its old place is taken</translation>
    </message>
    <message>
        <source>被覆盖的文件当时无法放入回收站，不能恢复</source>
        <translation>the replaced file could not be moved to the Trash at the time and cannot be restored</translation>
    </message>
    <message>
        <source>分拣中断时这个文件是否已放好无法确定，未撤销</source>
        <translation>whether this file was placed when the run was cut short cannot be told; not undone</translation>
    </message>
    <message>
        <source>无法移回“%1”：%2</source>
        <extracomment>%1 the path the file came from, %2 the reason.</extracomment>
        <translation>cannot move back to “%1”: %2</translation>
    </message>
    <message>
        <source>原来的名字已被占用，已移回并改名</source>
        <translation>its old name was taken; moved back under a numbered name</translation>
    </message>
    <message>
        <source>源文件已不在或已改动，副本已放入回收站</source>
        <translation>the source is gone or changed; the copy was moved to the Trash</translation>
    </message>
    <message>
        <source>无法撤销这个副本：%1</source>
        <extracomment>%1 the reason.</extracomment>
        <translation>cannot undo this copy: %1</translation>
    </message>
    <message>
        <source>无法从回收站恢复到“%1”：%2</source>
        <extracomment>%1 the path the file is to go back to, %2 the reason.</extracomment>
        <translation>cannot restore from the Trash to “%1”: %2</translation>
    </message>
    <message>
        <source>撤销已停止。</source>
        <translation>Undo stopped.</translation>
    </message>
    <message>
        <source>撤销完成！</source>
        <translation>Undo finished!</translation>
    </message>
    <message>
        <source>移回 %1 个文件，删除 %2 个副本，从回收站恢复 %3 个文件，删除 %4 个空文件夹。</source>
        <extracomment>%1 files moved back, %2 copies deleted, %3 files restored, %4 empty folders deleted.</extracomment>
        <translation>Files moved back: %1; copies deleted: %2; files restored from the Trash: %3; empty folders deleted: %4.</translation>
    </message>
    <message numerus="yes">
        <source>有 %1 个文件需要留意：</source>
        <extracomment>%1 files; they follow, one a line, each with what became of it.</extracomment>
        <translation>
            <numerusform>%1 file needs your attention:</numerusform>
            <numerusform>%1 files need your attention:</numerusform>
        </translation>
    </message>
    <message>
        <source>将撤销 %1 开始的分拣（输出目录“%2”）：移回 %3 个文件，删除 %4 个副本，从回收站恢复 %5 个文件。</source>
        <extracomment>%1 when the run began, %2 its output directory, %3 files to move back, %4 copies to delete, %5 files to restore.</extracomment>
        <translation>This undoes the run started at %1 (output directory “%2”): files to move back: %3; copies to delete: %4; files to restore from the Trash: %5.</translation>
    </message>
    <message numerus="yes">
        <source>有 %1 个文件在分拣中断时状态不明，将按磁盘上的情况处理。</source>
        <translation>
            <numerusform>%1 file was in an unknown state when the run was cut short; it is handled as found on the disk.</numerusform>
            <numerusform>%1 files were in an unknown state when the run was cut short; they are handled as found on the disk.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>有 %1 个被覆盖的文件不能恢复。</source>
        <translation>
            <numerusform>%1 replaced file cannot be restored.</numerusform>
            <numerusform>%1 replaced files cannot be restored.</numerusform>
        </translation>
    </message>
    <message>
        <source>改动过的文件保持原样。是否继续？</source>
        <translation>Files changed since are left as they are. Continue?</translation>
    </message>
    <message>
        <source>改动过的文件保持原样。</source>
        <extracomment>The same without the question, when nothing is asked.</extracomment>
        <translation>Files changed since are left as they are.</translation>
    </message>
    <message>
        <source>分拣记录中没有这次分拣。</source>
        <translation>This run is not in the run journal.</translation>
    </message>
    <message>
        <source>撤销本身不能再撤销。</source>
        <translation>An undo cannot itself be undone.</translation>
    </message>
    <message>
        <source>这次分拣已经撤销过了。</source>
        <translation>This run has been undone already.</translation>
    </message>
    <message>
        <source>文件</source>
        <extracomment>The window a run was made in.</extracomment>
        <translation>Files</translation>
    </message>
    <message>
        <source>文件夹</source>
        <extracomment>The window a run was made in.</extracomment>
        <translation>Folders</translation>
    </message>
    <message>
        <source>按文件名匹配关键字分拣</source>
        <translation>Keywords in the file name</translation>
    </message>
    <message>
        <source>按文件名分拣</source>
        <translation>By file name</translation>
    </message>
    <message>
        <source>按文件类型分拣</source>
        <translation>By file type</translation>
    </message>
    <message>
        <source>按文件大小分拣</source>
        <translation>By file size</translation>
    </message>
    <message>
        <source>按文件日期属性分拣</source>
        <translation>By file date</translation>
    </message>
    <message>
        <source>图像文件分拣</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>按目录名匹配关键字分拣</source>
        <translation>Keywords in the folder name</translation>
    </message>
    <message>
        <source>按目录名分拣</source>
        <translation>By folder name</translation>
    </message>
    <message>
        <source>按目录日期属性分拣</source>
        <translation>By folder date</translation>
    </message>
    <message>
        <source>撤销</source>
        <extracomment>A run that undid another.</extracomment>
        <translation>Undo</translation>
    </message>
    <message>
        <source>已放置 %1，跳过 %2，改名 %3，覆盖 %4，失败 %5</source>
        <extracomment>Placed, skipped, renamed, overwritten, failed.</extracomment>
        <translation>placed %1, skipped %2, renamed %3, overwritten %4, failed %5</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Finished</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>未正常结束</source>
        <translation>Did not end normally</translation>
    </message>
    <message>
        <source>%1，已撤销</source>
        <extracomment>%1 how the run ended.</extracomment>
        <translation>%1, undone</translation>
    </message>
    <message>
        <source>无法导出列表：“%1”不是普通文件（设备、管道或套接字），未被替换。</source>
        <extracomment>%1 the list file&apos;s path.</extracomment>
        <translation>Cannot export the list: “%1” is not a regular file (a device, pipe or socket); it was not replaced.</translation>
    </message>
    <message>
        <source>无法导入列表：“%1”太大（上限为 64 MiB 或 100 万行），未导入任何条目。</source>
        <extracomment>%1 the list file&apos;s path.</extracomment>
        <translation>Cannot import the list: “%1” is too large (at most 64 MiB or 1,000,000 lines); nothing was imported.</translation>
    </message>
    <message>
        <source>无法导入列表：“%1”不是普通文件（设备、管道或套接字），未被打开。</source>
        <extracomment>%1 the list file&apos;s path.</extracomment>
        <translation>Cannot import the list: “%1” is not a regular file (a device, pipe or socket); it was not opened.</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <extracomment>%1 the list file&apos;s path, %2 the system&apos;s reason.</extracomment>
        <translation>Cannot create file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <extracomment>%1 the list file&apos;s path, %2 the system&apos;s reason.</extracomment>
        <translation>Cannot open file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>无法保存设置：“%1”不是普通文件（设备、管道或套接字），未被改动。</source>
        <extracomment>%1 the settings file&apos;s path.</extracomment>
        <translation>Cannot save the settings: “%1” is not a regular file (a device, pipe or socket); it was not changed.</translation>
    </message>
    <message>
        <source>无法保存设置：“%1”第 %2 行。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <source>无法保存设置：“%1”第 %2 行含有空字符（NUL），其后的内容无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” holds a NUL character, and what follows it cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <source>无法保存设置：“%1”第 %2 行既不是“键=值”，也不是节名或注释，无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” is neither “key=value” nor a section name or a comment, and cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <source>无法保存设置：“%1”第 %2 行的键名为空，无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” has an empty key and cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <source>无法保存设置：“%1”第 %2 行的节名缺少“]”，其后的内容无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: the section name on line %2 of “%1” lacks its “]”, and what follows cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <source>无法保存设置：“%1”第 %2 行在节名的“]”之后还有文字，无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” has text after the “]” of its section name and cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <source>无法保存设置：保存会丢失“%1”中原有的内容。文件未被改动。</source>
        <extracomment>%1 the settings file&apos;s path.</extracomment>
        <translation>Cannot save the settings: saving would lose what “%1” holds. The file was not changed.</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <extracomment>%1 the settings file&apos;s path.</extracomment>
        <translation>Unable to write to %1</translation>
    </message>
    <message>
        <source>分拣记录无法打开。</source>
        <translation>The run journal cannot be opened.</translation>
    </message>
    <message>
        <source>分拣记录中还没有分拣。</source>
        <translation>The run journal holds no runs yet.</translation>
    </message>
    <message>
        <source>分拣记录无法打开，不能撤销。</source>
        <translation>The run journal cannot be opened; nothing can be undone.</translation>
    </message>
    <message>
        <source>没有可以撤销的分拣。</source>
        <translation>There is no run that can be undone.</translation>
    </message>
    <message>
        <source>没有撤销。</source>
        <translation>Nothing was undone.</translation>
    </message>
    <message>
        <source>预览：%1</source>
        <extracomment>%1 the actions of a plan with their counts.</extracomment>
        <translation>Preview: %1</translation>
    </message>
    <message>
        <source>预览：没有文件</source>
        <translation>Preview: no files</translation>
    </message>
    <message>
        <source>%1 %2 个</source>
        <extracomment>%1 an action of a plan, %2 how many files it takes.</extracomment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1，%2</source>
        <extracomment>Two parts of a list on one line.</extracomment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>未能分拣的文件：</source>
        <extracomment>The failed files follow, one a line.</extracomment>
        <translation>Files that could not be sorted:</translation>
    </message>
    <message>
        <source>文件%1已存在，是否覆盖？</source>
        <extracomment>%1 the path of the file already there.</extracomment>
        <translation>The file %1 exists already. Replace it?</translation>
    </message>
    <message>
        <source>  现有文件：%1，%2</source>
        <extracomment>%1 the file&apos;s size, %2 its time; lined up with the next line.</extracomment>
        <translation>  Existing file: %1, %2</translation>
    </message>
    <message>
        <source>  新文件：  %1，%2</source>
        <extracomment>%1 the file&apos;s size, %2 its time; lined up with the line before.</extracomment>
        <translation>  New file:      %1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%1 字节</source>
        <translation>
            <numerusform>%1 byte</numerusform>
            <numerusform>%1 bytes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1（%2 字节）</source>
        <extracomment>%1 the size in KB, MB, ..., %2 in bytes.</extracomment>
        <translation>
            <numerusform>%1 (%2 byte)</numerusform>
            <numerusform>%1 (%2 bytes)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1（较新）</source>
        <extracomment>%1 a time.</extracomment>
        <translation>%1 (newer)</translation>
    </message>
    <message>
        <source>[y 是 / n 否 / a 全部是 / N 全部否 / s 停止]（默认 n）：</source>
        <extracomment>The letters are what the user types; keep them.</extracomment>
        <translation>[y yes / n no / a yes to all / N no to all / s stop] (default n): </translation>
    </message>
    <message>
        <source>zanfeld-cli: %1</source>
        <extracomment>%1 why the run was refused.</extracomment>
        <translation>zanfeld-cli: %1</translation>
    </message>
    <message>
        <source>zanfeld-cli: %1（%2）</source>
        <extracomment>%1 why the run was refused, %2 the option at fault.</extracomment>
        <translation>zanfeld-cli: %1 (%2)</translation>
    </message>
</context>
</TS>
