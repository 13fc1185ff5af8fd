import java.io.FileOutputStream;
import java.io.IOException;
import java.io.PrintStream;

// Sends System.err to the file args[0], then fails, so the host's
// ExceptionDescribe writes the stack trace there.
public class ThrowFromMain {
    public static void main(String[] args) throws IOException {
        System.setErr(new PrintStream(new FileOutputStream(args[0]), true, "UTF-8"));
        throw new IllegalStateException("thrown by ThrowFromMain");
    }
}
