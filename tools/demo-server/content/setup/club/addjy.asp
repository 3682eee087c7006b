<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gb2312">
<title>问题报告</title>
</head>
<body>
<h3>问题报告</h3>
<p>请描述您遇到的问题,我们会尽快处理。(演示页面: 提交不会发送到任何地方。)</p>
<form action="/club/savejy.asp" method="get">
<input type="hidden" name="soft" value="Tavelo">
<p>标题: <input name="title" size="40"></p>
<p>内容:<br><textarea name="content" rows="8" cols="60"></textarea></p>
<p><input type="submit" value="提交"></p>
</form>
</body>
</html>
